#pragma once

#include <QFrame>

#include <string>

class QLineEdit;
class QListWidget;

namespace nelvo {

// A search field over the zone catalog in a popup: type a city, country or zone and pick
// one with Return or a click.
class ZoneSearchField : public QFrame {
    Q_OBJECT

public:
    explicit ZoneSearchField(QWidget* parent);

    void showBelow(QWidget* anchor);
    QLineEdit* field() const { return m_field; }
    QListWidget* results() const { return m_results; }

Q_SIGNALS:
    void picked(const std::string& zoneID);

private:
    void search(const QString& text);
    void pickCurrent();

    QLineEdit* m_field;
    QListWidget* m_results;
};

}  // namespace nelvo
