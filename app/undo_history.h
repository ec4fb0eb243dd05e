#pragma once

#include <functional>
#include <string>

namespace nelvo {

// Where the model records one step per edit. The window keeps the steps on its QUndoStack
// (`UndoStackHistory`); the app layer itself needs only Qt Core, so that the command line
// loads no more.
class UndoHistory {
public:
    virtual ~UndoHistory() = default;

    // A step that is already done: `undo` takes it back and `redo` does it again, in turn,
    // undo first.
    virtual void push(const std::string& name, std::function<void()> undo,
                      std::function<void()> redo) = 0;
};

}  // namespace nelvo
