#pragma once

#include <QColor>
#include <QPalette>

namespace nelvo {

// The palette of a common dark desktop theme, to draw the window dark where no dark theme is
// installed: the screenshots and the contrast tests draw with it.
inline QPalette darkPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(36, 36, 38));
    p.setColor(QPalette::WindowText, QColor(235, 235, 240));
    p.setColor(QPalette::Base, QColor(28, 28, 30));
    p.setColor(QPalette::AlternateBase, QColor(44, 44, 46));
    p.setColor(QPalette::Text, QColor(235, 235, 240));
    p.setColor(QPalette::Button, QColor(50, 50, 54));
    p.setColor(QPalette::ButtonText, QColor(235, 235, 240));
    p.setColor(QPalette::Highlight, QColor(10, 132, 255));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::PlaceholderText, QColor(150, 150, 156));
    return p;
}

}  // namespace nelvo
