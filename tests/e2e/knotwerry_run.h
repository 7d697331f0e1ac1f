// The real knotwerry binary on a private Xvfb of its own, one per test.
#pragma once

#include "tests/harness.h"

// Generous limits for a loaded CI machine; every wait polls and ends as soon as it can.
constexpr auto windowLimit = std::chrono::seconds(20);
#ifdef KNOTWERRY_SANITIZED
// Under the sanitizers the exit runs LeakSanitizer with the slow unwinder, which alone
// took over 5 s on a loaded machine; the limit only bounds the wait.
constexpr auto exitLimit = std::chrono::seconds(20);
#else
constexpr auto exitLimit = std::chrono::seconds(5);
#endif

class KnotwerryRun : public ProgramRun {
  protected:
    KnotwerryRun() : ProgramRun(windowLimit) {}
    void SetUp() override;
    void TearDown() override;

    // Starts the program with these arguments and environment additions and waits for
    // its window and first frame, which comes after all of start-up.
    ::testing::AssertionResult start(const std::vector<std::string>& args = {},
                                     const std::vector<std::string>& env = {});
    // Presses ESCAPE with the pointer over the window.
    void pressEscape();

    // The client area is the program's own X window.
    bool grabClient(Image& image) override;
    void pressAt(int x, int y, unsigned button) override;
    void tapKey(unsigned long keysym) override;

    Window window = None;
};

using ModelledRun = Modelled<KnotwerryRun>;
