#pragma once

#include "desktop/MessagePresenter.h"

#include <QStringList>
#include <vector>

// Records message boxes instead of showing them; installed for its lifetime.
struct MessageRecorder final : MessagePresenter {
    MessageRecorder() { setMessagePresenter(this); }
    ~MessageRecorder() override { setMessagePresenter(nullptr); }
    void show(QWidget*, const QString& title, const QString& text, MessageIcon icon) override
    {
        texts << text;
        titles << title;
        icons.push_back(icon);
    }
    QStringList texts, titles;
    std::vector<MessageIcon> icons;
};
