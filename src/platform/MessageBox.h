#pragma once

#include <QString>

class QWidget;

constexpr const char* kApplicationTitle = "Corvane Computerized OVREL";

enum class MsgIcon { None, Critical, Exclamation };

// Who shows message boxes: real modal boxes unless replaced (a recorder in tests).
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    virtual void show(QWidget* parent, const QString& title, const QString& text, MsgIcon icon) = 0;
};

// A modal message box with a single OK button and the application title; returns when it is
// dismissed.
void MsgBox(const QString& text, MsgIcon icon, QWidget* parent = nullptr);

// Not owned; nullptr restores the real boxes.
void setMessagePresenter(MessagePresenter* presenter);
