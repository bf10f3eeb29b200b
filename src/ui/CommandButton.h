#pragma once

#include <QKeyEvent>
#include <QToolButton>

// A command button that can show a picture above its caption, takes the focus like any button,
// and is pressed by Enter as well as Space when it has the focus.
class CommandButton final : public QToolButton {
    Q_OBJECT
public:
    explicit CommandButton(const QString& caption, QWidget* parent) : QToolButton(parent)
    {
        setText(caption);
        setFocusPolicy(Qt::StrongFocus);
        setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            animateClick();
            return;
        }
        QToolButton::keyPressEvent(event);
    }
};
