#pragma once

#include "desktop/MessagePresenter.h"

#include <QStringList>
#include <vector>

// Records message boxes instead of showing them.
struct MessageRecorder final : MessagePresenter {
    void show(QWidget*, const QString& title, const QString& text, MessageIcon icon) override
    {
        texts << text;
        titles << title;
        icons.push_back(icon);
    }
    bool confirm(QWidget*, const QString& text) override
    {
        questions << text;
        return answers.empty() ? answer : answers.takeFirst();
    }
    QStringList texts, titles;
    QStringList questions;
    bool answer = true;  // to every question, once `answers` are used up
    QList<bool> answers;
    std::vector<MessageIcon> icons;
};
