#pragma once

class QLabel;

// Keeps a one-line label's text inside its box: when the text in the label's
// own type is wider or taller than the box (a long caption of another
// language, a screen-size layout's small box), it is drawn in the largest
// smaller type that fits, never below 6 points; otherwise the label draws
// itself as usual. The label's own font is left as it is, so the layouts keep
// setting it. Plain one-line texts only (no word wrap, no rich text).
void fitTextToBox(QLabel* label);
