#pragma once

#include "app/undo_history.h"

#include <QPointer>
#include <QUndoCommand>
#include <QUndoStack>

#include <memory>
#include <utility>

namespace nelvo {

// The model's undo steps on a QUndoStack, for the Edit menu. QUndoStack is Qt Gui's, so this
// header is all there is: the programs that include it (the window, the tests) link Qt Gui,
// and NelvoApp compiles nothing of it.
class UndoStackHistory final : public UndoHistory {
public:
    explicit UndoStackHistory(QUndoStack& stack) : m_stack(&stack) {}

    static std::shared_ptr<UndoHistory> on(QUndoStack& stack)
    {
        return std::make_shared<UndoStackHistory>(stack);
    }

    void push(const std::string& name, std::function<void()> undo,
              std::function<void()> redo) override
    {
        if (m_stack)
            m_stack->push(new Step(name, std::move(undo), std::move(redo)));
    }

private:
    class Step final : public QUndoCommand {
    public:
        Step(const std::string& name, std::function<void()> undo, std::function<void()> redo)
            : QUndoCommand(QString::fromStdString(name)), m_undo(std::move(undo)),
              m_redo(std::move(redo))
        {
        }

        void undo() override { m_undo(); }
        // QUndoStack::push redoes the step at once; the edit has already happened.
        void redo() override
        {
            if (m_isFirstRedo)
                m_isFirstRedo = false;
            else
                m_redo();
        }

    private:
        std::function<void()> m_undo;
        std::function<void()> m_redo;
        bool m_isFirstRedo = true;
    };

    QPointer<QUndoStack> m_stack;
};

}  // namespace nelvo
