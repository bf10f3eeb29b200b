#pragma once

#include <QWidget>

class ListeningService;
class QCheckBox;
class QLabel;
class QProgressBar;

// The sheet's "Listen" check box (Alt+L), with the microphone's level beside it, so that a
// silent or muted microphone shows before a run, and what the listening does in plain words.
class ListenBar final : public QWidget {
    Q_OBJECT
public:
    // The service outlives the bar.
    ListenBar(ListeningService& listening, QWidget* parent = nullptr);

private:
    void refresh();
    void showLevel();

    ListeningService& listening_;
    QCheckBox* listen_ = nullptr;
    QProgressBar* level_ = nullptr;
    QLabel* state_ = nullptr;
};
