#include "desktop/MessagePresenter.h"

#include "ui/Title.h"

#include <QMessageBox>

namespace {

class ModalPresenter final : public MessagePresenter {
public:
    void show(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) override
    {
        QMessageBox box(parent);
        box.setWindowTitle(title);
        box.setText(text);
        box.setIcon(icon == MessageIcon::Critical  ? QMessageBox::Critical
                    : icon == MessageIcon::Warning ? QMessageBox::Warning
                                                   : QMessageBox::NoIcon);
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
    }
};

MessagePresenter* g_presenter = nullptr;

}  // namespace

void setMessagePresenter(MessagePresenter* presenter)
{
    g_presenter = presenter;
}

void showMessage(const QString& text, MessageIcon icon, QWidget* parent)
{
    static ModalPresenter modal;
    (g_presenter ? *g_presenter : modal).show(parent, kApplicationTitle, text, icon);
}
