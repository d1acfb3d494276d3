#pragma once
#include <QPalette>
#include <initializer_list>
#include <utility>

class QWidget;

// Keeps colours of one widget those of another: a skin colours the controls it
// names, and a control it does not name but that stands beside one (a value
// after its caption, a read-out panel in the fields' colours) must stay
// legible on the same background. Each pair copies the leader's first role
// into the follower's second, now and whenever the leader's palette changes.
// Ends with either widget.
using ColourRoles = std::pair<QPalette::ColorRole, QPalette::ColorRole>;
void followColours(QWidget* leader, QWidget* follower, std::initializer_list<ColourRoles> roles);
// The caption colour: WindowText, and ButtonText for check boxes and buttons.
void followTextColour(QWidget* leader, QWidget* follower);
