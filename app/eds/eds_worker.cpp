#include "app/eds/eds_worker.h"

#include <glib.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace nelvo {

struct EdsWorker::State {
    GMainContext* context = g_main_context_new();
    GMainLoop* loop = g_main_loop_new(context, FALSE);
    std::mutex mutex;
    std::condition_variable ended;
    bool hasEnded = false;

    ~State()
    {
        g_main_loop_unref(loop);
        g_main_context_unref(context);
    }
};

namespace {

gboolean runJob(gpointer data)
{
    (*static_cast<std::function<void()>*>(data))();
    return G_SOURCE_REMOVE;
}

void deleteJob(gpointer data)
{
    delete static_cast<std::function<void()>*>(data);
}

}  // namespace

EdsWorker::EdsWorker() : m_state(std::make_shared<State>())
{
    std::thread([state = m_state] {
        // Every GLib object made here dispatches its replies and signals to this context.
        g_main_context_push_thread_default(state->context);
        g_main_loop_run(state->loop);
        // Jobs posted while the loop ended still free what they hold.
        while (g_main_context_iteration(state->context, FALSE)) {
        }
        g_main_context_pop_thread_default(state->context);
        std::lock_guard lock(state->mutex);
        state->hasEnded = true;
        state->ended.notify_all();
    }).detach();
}

EdsWorker::~EdsWorker()
{
    post([state = m_state] { g_main_loop_quit(state->loop); });
    std::unique_lock lock(m_state->mutex);
    m_state->ended.wait_for(lock, patience, [this] { return m_state->hasEnded; });
}

void EdsWorker::post(std::function<void()> job)
{
    GSource* source = g_idle_source_new();
    g_source_set_priority(source, G_PRIORITY_DEFAULT);
    g_source_set_callback(source, runJob, new std::function<void()>(std::move(job)), deleteJob);
    g_source_attach(source, m_state->context);
    g_source_unref(source);
}

GMainContext* EdsWorker::context() const
{
    return m_state->context;
}

}  // namespace nelvo
