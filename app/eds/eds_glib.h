#pragma once

// Internal to app/eds: included by .cpp files only, never by a public header.
#include <glib-object.h>

#include <functional>
#include <memory>

namespace nelvo {

struct GObjectUnref {
    void operator()(gpointer object) const
    {
        if (object)
            g_object_unref(object);
    }
};
// A GObject reference that is dropped with its owner.
template <class T>
using GRef = std::unique_ptr<T, GObjectUnref>;

// An async call's completion as a C++ callable: pass asyncCallback() as the
// GAsyncReadyCallback and asyncData(f) as its data; `f` runs once, then is freed.
using AsyncDone = std::function<void(GObject* object, GAsyncResult* result)>;

inline void asyncCallback(GObject* object, GAsyncResult* result, gpointer data)
{
    std::unique_ptr<AsyncDone> done(static_cast<AsyncDone*>(data));
    (*done)(object, result);
}

inline gpointer asyncData(AsyncDone done)
{
    return new AsyncDone(std::move(done));
}

}  // namespace nelvo
