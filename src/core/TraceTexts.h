#pragma once

class LanguageTexts;

// Language texts of the protocol trace (31350 up).
namespace tracetext {
enum : int {
    Title = 31350, // the window's caption and its menu item
    FilterLabel = 31351,
    AllExchanges = 31352,
    Copy = 31353,
    Save = 31354,
    Clear = 31355,
    Hold = 31356,
    Count = 31357, // "%1" entries shown, "%2" kept
    Lost = 31358,  // "%1" entries that came too fast to keep
    FileFilter = 31359,
    SaveFailed = 31360,    // "%1" file, "%2" the system's words
    FirstColumn = 31361,   // time, delta, direction, exchange, mark, bytes
    FirstKind = 31367,     // sent, received, dropped, pause, opened, closed
    FirstExchange = 31373, // version read ... command, in TraceExchange order from VersionRead
    FirstMark = 31385,     // stray, failed, nothing, lost, ms
    Keys = 31390,
};
// Built-in Polish texts.
void addDefaults(LanguageTexts& texts);
} // namespace tracetext
