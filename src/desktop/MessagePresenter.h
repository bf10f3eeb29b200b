#pragma once

#include <QString>

class QWidget;

enum class MessageIcon { None, Critical, Warning };

// Shows the examiner a message with a single OK button, and returns when it is dismissed; or asks
// a question to be answered Yes or No.
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    virtual void show(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) = 0;
    // With the program's title and a warning; true for Yes. No is the default, and Esc.
    virtual bool confirm(QWidget* parent, const QString& text) = 0;

    // With the program's title, as every message of the program carries it.
    void tell(const QString& text, MessageIcon icon, QWidget* parent = nullptr);
};
