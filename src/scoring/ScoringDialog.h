#pragma once

#include <QDialog>
#include <array>
#include <optional>

class QLabel;
class QLineEdit;

// The scoring window: raw scores of up to four trials and the age group in; z-scores and
// percentiles out. Shown modally over the main window, blank at every opening. Results on screen
// always belong to the inputs on screen: a new age group or an edited field empties the results
// it would change, and only Score fills them.
class Beeper;
class MessagePresenter;

class ScoringDialog final : public QDialog {
    Q_OBJECT
public:
    // Refused input beeps on `beeper`; the checks before scoring tell on `messages`.
    ScoringDialog(MessagePresenter& messages, Beeper& beeper, QWidget* owner);

    // The chosen age group's code (16, 30 or 50); 0 until one is chosen.
    quint8 ageGroup() const { return ageGroup_; }
    // Fills the raw score fields of the trials 2.4, 2.0, 1.6 and 1.2 that have one; the others
    // stay empty.
    void setRawScores(const std::array<std::optional<int>, 4>& scores);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void chooseAgeGroup(quint8 code);
    void score();
    void clearAll();

private:
    // One trial's line: its raw score field and its two results.
    struct Row {
        quint8 trialCode;
        QLineEdit* field;
        QLabel* z;
        QLabel* percentile;
    };
    void buildControls();
    // The row of the trial at `pace` (0 to 3), `top` twips down.
    Row addRow(int pace, int top);
    void emptyResults(const Row& row);
    QLineEdit* firstField() const { return rows_[0].field; }

    MessagePresenter& messages_;
    Beeper& beeper_;
    std::array<Row, 4> rows_{};  // 2.4, 2.0, 1.6, 1.2 from top to bottom
    quint8 ageGroup_ = 0;
    bool placed_ = false;
};
