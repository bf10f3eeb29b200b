#pragma once

// What the examiner marked of one answer.
enum class SheetMark : char { None, Correct, Wrong };
