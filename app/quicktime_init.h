// Brackets a repair run: QuickTime is entered and initialised when it starts. QuickTime stays
// initialised until the process ends, so the end of the run calls nothing.
#pragma once

class CQuickTimeInit {
  public:
    CQuickTimeInit();
    ~CQuickTimeInit() = default;

    CQuickTimeInit(const CQuickTimeInit&) = delete;
    CQuickTimeInit& operator=(const CQuickTimeInit&) = delete;
};
