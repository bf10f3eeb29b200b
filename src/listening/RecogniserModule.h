#pragma once

#include "listening/AnswerRecogniser.h"

#include <QString>

#include <memory>

// The speech recogniser is a module of its own (recogniser/), loaded the first time a recogniser
// is asked for: the decoder and its model then cost nothing to an examiner who never listens.
// The module lies beside the program as installed (lib/ovrel under its prefix), or in the build
// folder; the model is the one installed with the decoder, or the one in the folder that
// OVREL_RECOGNISER_MODEL names.
class RecogniserModule final {
public:
    static constexpr const char* kModelVariable = "OVREL_RECOGNISER_MODEL";

    // A new recogniser; nothing where the module or the model is missing, with why in `reason`
    // (a sentence for the examiner) where given.
    static std::unique_ptr<AnswerRecogniser> make(QString* reason = nullptr);

    RecogniserModule() = delete;
};
