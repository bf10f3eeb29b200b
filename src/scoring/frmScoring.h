#pragma once

#include <QDialog>
#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The scoring window: raw scores of up to four trials and the age group in; z-scores and
// percentiles out. Shown modally over the main window, blank at every opening. Results on screen
// always belong to the inputs on screen: a new age group or an edited field empties the results
// it would change, and only Score fills them.
class frmScoring final : public QDialog {
    Q_OBJECT
public:
    explicit frmScoring(QWidget* owner);

    void optAge_Click(qint16 Index);
    void cmdScore_Click();
    void cmdClear_Click();
    void cmdClose_Click() { close(); }
    quint8 AgeGroup() const { return AgeGroup_; }

    QGroupBox* Frame1 = nullptr;
    QRadioButton* optAge16 = nullptr;
    QRadioButton* optAge30 = nullptr;
    QRadioButton* optAge50 = nullptr;
    QLineEdit *txt24 = nullptr, *txt20 = nullptr, *txt16 = nullptr, *txt12 = nullptr;
    QLabel *lbl24z = nullptr, *lbl20z = nullptr, *lbl16z = nullptr, *lbl12z = nullptr;
    QLabel *lbl24p = nullptr, *lbl20p = nullptr, *lbl16p = nullptr, *lbl12p = nullptr;
    QPushButton* cmdScore = nullptr;
    QPushButton* cmdClear = nullptr;
    QPushButton* cmdClose = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Row {
        quint8 trialCode;
        QLineEdit* field;
        QLabel* z;
        QLabel* percentile;
    };
    void buildControls();
    void addRow(std::size_t index, quint8 code, const char* caption, int top);
    void emptyResults(const Row& row);

    std::array<Row, 4> rows_{};  // 24, 20, 16, 12 from top to bottom
    quint8 AgeGroup_ = 0;
    bool placed_ = false;
};
