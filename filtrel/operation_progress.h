#pragma once
// The progress window and the watch cursor of one module operation, put back on every
// way out.
#include "platform/ui.h"

class OperationProgress
{
  public:
    explicit OperationProgress(const char* text);
    ~OperationProgress() { close(); }
    OperationProgress(const OperationProgress&) = delete;
    OperationProgress& operator=(const OperationProgress&) = delete;

    void percent(int value);
    // True once the user has pressed Cancel.
    bool cancelled();
    void close();
    int handle() const { return handle_; }

  private:
    int handle_ = 0;
    kel::Cursor previous_;
    bool open_ = false;
};
