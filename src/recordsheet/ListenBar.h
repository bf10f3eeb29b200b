#pragma once

#include "recordsheet/RecordSheet.h"

#include <QWidget>

#include <functional>

class ListeningService;
class MessagePresenter;
class QCheckBox;
class QLabel;
class QProgressBar;

// The sheet's "Listen" check box (Alt+L), off at first and remembered, with the microphone's level beside it, so that a
// silent or muted microphone shows before a run, and what the listening does in plain words.
// "Save Recordin&g…" writes the answers' recording of the administration shown as a WAV file:
// the only way a recording ever leaves the program.
class ListenBar final : public QWidget {
    Q_OBJECT
public:
    // The service, the sheet and the messages outlive the bar; `viewed` tells the administration
    // the sheet shows (-1: none given).
    ListenBar(ListeningService& listening, RecordSheet& sheet, MessagePresenter& messages, std::function<int()> viewed,
              QWidget* parent = nullptr);

    // Plays `answer` again, or tells the examiner why it cannot.
    void hearAgain(RecordSheet::Answer answer);

private:
    void chooseRecordingFile();
    void refresh();
    void showLevel();

    ListeningService& listening_;
    RecordSheet& sheet_;
    MessagePresenter& messages_;
    std::function<int()> viewed_;
    QCheckBox* listen_ = nullptr;
    QProgressBar* level_ = nullptr;
    QLabel* state_ = nullptr;
};
