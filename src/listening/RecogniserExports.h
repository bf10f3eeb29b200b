#pragma once

// The maker the recogniser module exports, by the name the program looks it up by:
// AnswerRecogniser* (const char* modelFolder), a new recogniser the caller owns, hearing with the
// model in modelFolder (the installed one where null), or null where that model is not there.
inline constexpr const char* kMakeAnswerRecogniser = "ovrel_make_answer_recogniser";
