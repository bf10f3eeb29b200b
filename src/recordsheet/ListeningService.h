#pragma once

#include "recordsheet/RecordSheet.h"

#include <QObject>
#include <QString>

// What the sheet's window asks of the program's listening: whether to hear the examinee's
// answers in the runs that follow, how the microphone is, and the recordings of the answers.
// Nothing is written without the examiner asking for it.
class ListeningService : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Whether the microphone is heard in the runs that follow; remembered from one start of the
    // program to the next.
    virtual bool isOn() const = 0;
    virtual void setOn(bool on) = 0;
    // In plain words for the examiner: what the listening does now, or why it cannot listen and
    // the sheet is marked by keys alone. Empty while it is off.
    virtual QString state() const = 0;
    // The loudest of the microphone over the last moments, in dB of full scale; -inf: silence,
    // or nothing heard.
    virtual double levelDb() const = 0;
    // Plays the answer as recorded, from a little before its onset to the end of its window;
    // the reason, in plain words, where it cannot.
    virtual QString hearAgain(RecordSheet::Answer answer) = 0;
    virtual bool hasRecording(int administration) const = 0;
    // Writes the recording of `administration` as a WAV file; false where it cannot.
    virtual bool saveRecording(int administration, const QString& path) const = 0;

signals:
    void stateChanged();
    void levelChanged();
};
