#pragma once

#include "recordsheet/RecordSheet.h"
#include "recordsheet/SheetReport.h"

#include <QTimer>
#include <QWidget>

class ListeningService;
class MessagePresenter;
class QComboBox;
class QLabel;
class QLineEdit;
class QPagedPaintDevice;
class QPushButton;
class SheetGrid;

// "OVREL Record Sheet": the examiner's sheet beside the main window, never modal. It follows the
// item set chosen and shades the answer awaited; its grid has the keyboard focus when the window
// opens and whenever a run starts, so that the marking keys and Ctrl+C act on the marks. Under
// the grid: the counts, pauses and delivery of the administration shown. Copy (Ctrl+C) puts the
// results on the clipboard as tab-separated text; "Save Report…" (Ctrl+S) and "Print…" (Ctrl+P)
// make the report; "Export Items…" (Ctrl+E) writes every item to a CSV file. "New Examinee"
// clears the sheet, asking first where its changes are in no report saved or printed. The
// examiner's name is remembered; the examinee's code and the age group are never stored, and
// the age group is the sheet's, and shows as chosen in the scoring window too.
//
// Where the program can listen, the Listen bar sits under the examinee's particulars, and H
// plays the answer at the cursor again.
class RecordSheetWindow final : public QWidget {
    Q_OBJECT
public:
    // `listening` may be null: the sheet is marked by keys alone. It outlives the window.
    RecordSheetWindow(RecordSheet& sheet, MessagePresenter& messages, ListeningService* listening = nullptr,
                      QWidget* parent = nullptr);

    // Puts the results on the clipboard.
    void copyResults();
    // Writes the report; false where it cannot be written.
    bool saveReport(const QString& path);
    bool printReport(QPagedPaintDevice& printer);
    // Asks on `parent` whether the marks of `sheet` in no saved or printed report may go; true
    // where there are none.
    static bool mayDropMarks(const RecordSheet& sheet, MessagePresenter& messages, QWidget* parent);

signals:
    // F5 anywhere on the sheet: as the main window's Start/Stop button.
    void startOrPauseAsked();

protected:
    // F5 comes here from whichever of the sheet's fields has the focus: none of them takes it.
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildControls();
    void refresh();
    void refreshList();
    void chooseReportFile();
    void choosePrinter();
    void chooseItemsFile();
    SheetReport::Particulars particulars(bool printed) const;
    void newExaminee();

    RecordSheet& sheet_;
    MessagePresenter& messages_;
    ListeningService* listening_;
    SheetGrid* grid_ = nullptr;
    QLineEdit* examinee_ = nullptr;
    QLineEdit* examiner_ = nullptr;  // remembered from one start of the program to the next
    QLineEdit* notes_ = nullptr;     // on the administration shown
    QComboBox* ageGroup_ = nullptr;
    QComboBox* administrations_ = nullptr;
    QLabel* counts_ = nullptr;
    QLabel* remarks_ = nullptr;
    QPushButton* newExaminee_ = nullptr;
    int followed_ = -2;  // the administration the sheet showed when last looked at
    QTimer awaitedShade_;  // the answer awaited moves as digits are heard
    bool placed_ = false;
};
