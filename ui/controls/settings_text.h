#pragma once

class QLabel;
class QString;
class QWidget;

namespace nelvo {

// The two kinds of text the settings popover and its rows are made of, so they read alike.
namespace SettingsText {

// A small explanatory line in the secondary colour, wrapped.
QLabel* note(const QString& text, QWidget* parent);
// A section's title, semi-bold.
QLabel* heading(const QString& text, QWidget* parent);

}  // namespace SettingsText

}  // namespace nelvo
