#pragma once
class QWidget;

// Texts from language files, and what the fitter types, are shown as they
// stand. Left to itself Qt takes a text that looks like markup for rich text
// in labels, message boxes and tool tips, and loads the pictures it names: a
// caption <img src='/dev/urandom'> would hang the window. Buttons, tabs,
// menus, lists, the status bar and window captions show plain text anyway;
// message boxes are made plain where they are built.
namespace plaintext {

// Every label under root shows its text as plain text, and every tool tip of
// the application (installed once) is shown as plain text.
void enforce(QWidget* root);

} // namespace plaintext
