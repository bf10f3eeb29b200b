// The recogniser module's entry point (see RecogniserModule).
#include "listening/recogniser/SphinxRecogniser.h"

extern "C" {

__attribute__((visibility("default"))) AnswerRecogniser* ovrel_make_answer_recogniser(const char* modelFolder)
{
    return SphinxRecogniser::make(modelFolder ? modelFolder : SphinxRecogniser::defaultModelFolder()).release();
}
}
