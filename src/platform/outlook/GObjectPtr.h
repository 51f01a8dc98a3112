#pragma once

#include <memory>

#include <glib-object.h>

namespace outlook {

// Owns one reference to a GObject (a GMime stream, part, message...) and drops it when done.
struct GObjectUnref {
    void operator()(void* object) const {
        if (object != nullptr) g_object_unref(object);
    }
};
template <class T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

}  // namespace outlook
