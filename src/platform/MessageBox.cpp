#include "platform/MessageBox.h"

#include <QMessageBox>

namespace {

class ModalPresenter final : public MessagePresenter {
public:
    void show(QWidget* parent, const QString& title, const QString& text, MsgIcon icon) override
    {
        QMessageBox box(parent);
        box.setWindowTitle(title);
        box.setText(text);
        box.setIcon(icon == MsgIcon::Critical      ? QMessageBox::Critical
                    : icon == MsgIcon::Exclamation ? QMessageBox::Warning
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

void MsgBox(const QString& text, MsgIcon icon, QWidget* parent)
{
    static ModalPresenter modal;
    (g_presenter ? *g_presenter : modal).show(parent, QString::fromLatin1(kApplicationTitle), text,
                                              icon);
}
