// Collected object memory: an incremental mark-and-sweep collector whose
// steps run only between host calls, so no stack scanning is needed.
#pragma once
#include <cstddef>
#include <cstdint>
#include <type_traits>

struct gc_object;

// Where an object stands in the collector's lists.
enum : int { GC_SIZE_SHIFT = 3, GC_MARK_MASK = 3, GC_STATIC_MARK = 3 };

struct gc_object {
    gc_object* succ;
    gc_object* pred;
    int flags;  // bits 3 and up: block size in bytes; bits 0-1: mark state

    gc_object();
    // Static, never-collected objects (the empty array reps) use this one.
    struct static_tag {};
    explicit gc_object(static_tag) : succ(nullptr), pred(nullptr), flags(GC_STATIC_MARK) {}
    gc_object(const gc_object&) = delete;
    gc_object& operator=(const gc_object&) = delete;
    virtual ~gc_object();
    virtual void mark() {}

    int gc_size() const { return flags & ~7; }

    static void* operator new(std::size_t size);
    // Only reached when a constructor throws: the block goes straight back.
    static void operator delete(void* p, std::size_t size);
};

// Base of interface classes: the collector finds the object behind one with
// a dynamic cast.
struct gc_interface {
    virtual ~gc_interface() = default;
};

extern int gc_markbit;
extern int gc_new_bytes;
extern int gc_alloced_bytes;
extern int gc_marked_bytes;
extern int gc_free_bytes;
extern gc_object gc_queued_list;
extern gc_object gc_unmarked_list;
extern gc_object gc_marked_list;
extern gc_object gc_free_list;

// When true every step finishes its cycle (mark everything, sweep). The build
// option ORV_GC_STRESS sets the start value; tests may switch it.
extern bool gc_stress;

// Roots are module globals above the runtime; the program installs the
// function that queues them.
extern void (*gc_roots)();

const int GC_SWEEP_THRESHOLD = 0x800000;

void gc_init();  // empties the four lists
void* gc_object_alloc(int size);
void gc_mark_q(gc_object* p);
void gc_mark_obj(gc_object* p);
void gc_mark();
void gc_mark_queued(int limit);
// One collector step; `extra_root` (the host's delegate) is marked first.
void gc_collect_step(gc_object* extra_root);
int gc_step_limit();  // the marking budget of an incremental step
bool gc_is_live(const void* address);  // is this an object in one of the lists?

inline bool gc_is_unmarked(const gc_object* p) { return (p->flags & GC_MARK_MASK) == gc_markbit; }

template <class T>
inline gc_object* gc_as_object(T* p) {
    if constexpr (std::is_base_of_v<gc_object, T>) {
        return p;
    } else {
        return dynamic_cast<gc_object*>(p);
    }
}

// Write barrier: every store of an object pointer goes through here.
template <class T, class U>
inline void gc_assign(T*& field, U* value) {
    if (value) gc_mark_q(gc_as_object(value));
    field = value;
}
template <class T>
inline void gc_assign(T*& field, std::nullptr_t) {
    field = nullptr;
}
