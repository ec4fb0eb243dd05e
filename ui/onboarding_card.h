#pragma once

#include <QWidget>

class QHBoxLayout;
class QLabel;
class QPushButton;

namespace nelvo {

// One page of onboarding: a symbol, a title, a body, an optional note and a row of buttons.
class OnboardingCard : public QWidget {
    Q_OBJECT
public:
    OnboardingCard(const QString& symbol, const QString& title, const QString& body,
                   QWidget* parent = nullptr);

    QString symbol() const { return m_symbol; }
    QString title() const;
    QString body() const;
    // A second paragraph below the body, emphasised; hidden while empty.
    QString note() const;
    void setNote(const QString& note);

    // The first button added is the default one (Return presses it).
    QPushButton* addAction(const QString& text);
    void clearActions();
    QList<QPushButton*> actions() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_symbol;
    QLabel* m_title;
    QLabel* m_body;
    QLabel* m_note;
    QHBoxLayout* m_actions;
};

}  // namespace nelvo
