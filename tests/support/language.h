// The tests run in Russian, the program's own language, as a system without a language set
// (LC_ALL=C) starts it. A test that checks English texts switches to English for its body.
#pragma once

#include "app/language.h"

namespace testing_support {

// The program's texts and Qt's in English while it lives, then Russian again. Windows made
// before it keep the texts they were made with.
class InEnglish {
  public:
    InEnglish() { app::UseLanguage(editor::Language::English); }
    ~InEnglish() { app::UseLanguage(editor::Language::Russian); }
    InEnglish(const InEnglish&) = delete;
    InEnglish& operator=(const InEnglish&) = delete;
};

}  // namespace testing_support
