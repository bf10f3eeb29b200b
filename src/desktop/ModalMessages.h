#pragma once

#include "desktop/MessagePresenter.h"

// Real message boxes: modal, over `parent` where one is given.
class ModalMessages final : public MessagePresenter {
public:
    void show(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) override;
    bool confirm(QWidget* parent, const QString& text) override;
};
