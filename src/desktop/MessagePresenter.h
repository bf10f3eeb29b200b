#pragma once

#include <QString>

class QWidget;

enum class MessageIcon { None, Critical, Warning };

// Shows message boxes: real modal ones unless replaced (tests record them instead).
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    virtual void show(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) = 0;
};

// A modal message box with a single OK button and the application title; returns when it is
// dismissed.
void showMessage(const QString& text, MessageIcon icon, QWidget* parent = nullptr);

// Not owned; nullptr restores the real boxes.
void setMessagePresenter(MessagePresenter* presenter);
