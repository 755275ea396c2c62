#include "runtime/gc.h"

#include <cstdlib>
#include <initializer_list>
#include <new>

int gc_markbit = 1;
int gc_new_bytes = 0;
int gc_alloced_bytes = 0;
int gc_marked_bytes = 0;
int gc_free_bytes = 0;
gc_object gc_queued_list{gc_object::static_tag{}};
gc_object gc_unmarked_list{gc_object::static_tag{}};
gc_object gc_marked_list{gc_object::static_tag{}};
gc_object gc_free_list{gc_object::static_tag{}};
#ifdef ORV_GC_STRESS
bool gc_stress = true;
#else
bool gc_stress = false;
#endif
void (*gc_roots)() = nullptr;

namespace {

// A freed small block waiting in its size-class stack.
struct FreeBlock {
    FreeBlock* next;
};
FreeBlock* gc_cache[8];

// Blocks handed out by gc_object_alloc whose constructor has not run yet.
// A new-expression may allocate again while evaluating its arguments, so this
// is a short stack searched from the top rather than a single slot.
struct Pending {
    void* block;
    int size;
};
Pending pending[64];
int pending_count = 0;

void list_clear(gc_object& head) { head.succ = head.pred = &head; }

void list_remove(gc_object* p) {
    p->pred->succ = p->succ;
    p->succ->pred = p->pred;
}

void list_append(gc_object& head, gc_object* p) {
    p->pred = head.pred;
    p->succ = &head;
    head.pred->succ = p;
    head.pred = p;
}

void list_move_to_tail(gc_object& head, gc_object* p) {
    list_remove(p);
    list_append(head, p);
}

// Moves every object of `from` onto the tail of `to`.
void list_splice(gc_object& from, gc_object& to) {
    if (from.succ == &from) return;
    gc_object* first = from.succ;
    gc_object* last = from.pred;
    first->pred = to.pred;
    to.pred->succ = first;
    last->succ = &to;
    to.pred = last;
    list_clear(from);
}

void release_block(void* p, int size) {
    // Under stress every block goes back to the C heap, so a memory checker
    // sees any later use of a dead object.
    if (size < 64 && !gc_stress) {
        FreeBlock* b = ::new (p) FreeBlock{gc_cache[size / 8]};
        gc_cache[size / 8] = b;
    } else {
        std::free(p);
    }
}

bool take_pending(void* block, int* size) {
    for (int i = pending_count - 1; i >= 0; --i) {
        if (pending[i].block == block) {
            *size = pending[i].size;
            for (int j = i + 1; j < pending_count; ++j) pending[j - 1] = pending[j];
            --pending_count;
            return true;
        }
    }
    return false;
}

// Destroys one dead object from the head of the free list.
void destroy_first_free() {
    gc_object* p = gc_free_list.succ;
    list_remove(p);
    p->succ = p->pred = nullptr;
    int size = p->gc_size();
    p->~gc_object();
    gc_free_bytes -= size;
    release_block(p, size);
}

}  // namespace

gc_object::gc_object() {
    int size = 0;
    if (!take_pending(this, &size)) {
        // Not from the collector (should not happen): never collect it.
        succ = pred = nullptr;
        flags = GC_STATIC_MARK;
        return;
    }
    flags = size | gc_markbit;
    list_append(gc_unmarked_list, this);
    gc_alloced_bytes += size;
}

gc_object::~gc_object() {
    // Normally the collector unlinks an object before destroying it; this
    // path is for an object whose constructor threw.
    if (succ) {
        list_remove(this);
        gc_alloced_bytes -= gc_size();
        succ = pred = nullptr;
    }
}

void* gc_object::operator new(std::size_t size) { return gc_object_alloc(static_cast<int>(size)); }

void gc_object::operator delete(void* p, std::size_t size) {
    int rounded = 0;
    if (!take_pending(p, &rounded)) rounded = static_cast<int>((size + 7) & ~std::size_t(7));
    release_block(p, rounded);
}

void gc_init() {
    list_clear(gc_queued_list);
    list_clear(gc_unmarked_list);
    list_clear(gc_marked_list);
    list_clear(gc_free_list);
}

void* gc_object_alloc(int size) {
    size = (size + 7) & ~7;
    gc_new_bytes += size;

    int target = gc_free_bytes - size;
    if (target < 0) target = 0;
    while (gc_free_bytes > target) {
        if (gc_free_list.succ == &gc_free_list) {
            gc_free_bytes = 0;
            break;
        }
        destroy_first_free();
    }

    void* block;
    if (size < 64 && gc_cache[size / 8]) {
        FreeBlock* b = gc_cache[size / 8];
        gc_cache[size / 8] = b->next;
        block = b;
    } else {
        block = std::malloc(static_cast<std::size_t>(size));
        if (!block) std::abort();
    }
    if (pending_count == static_cast<int>(sizeof pending / sizeof pending[0])) std::abort();
    pending[pending_count++] = Pending{block, size};
    return block;
}

void gc_mark_q(gc_object* p) {
    if (!p || !gc_is_unmarked(p)) return;
    p->flags ^= 1;
    list_move_to_tail(gc_queued_list, p);
}

void gc_mark_obj(gc_object* p) {
    if (!p || !gc_is_unmarked(p)) return;
    p->flags ^= 1;
    gc_marked_bytes += p->gc_size();
    list_move_to_tail(gc_marked_list, p);
    p->mark();
}

void gc_mark() {
    if (gc_roots) gc_roots();
}

void gc_mark_queued(int limit) {
    while (gc_marked_bytes < limit && gc_queued_list.succ != &gc_queued_list) {
        gc_object* p = gc_queued_list.succ;
        list_move_to_tail(gc_marked_list, p);
        gc_marked_bytes += p->gc_size();
        p->mark();
    }
}

int gc_step_limit() {
    std::int64_t old_bytes = gc_alloced_bytes - gc_new_bytes;
    return gc_new_bytes + static_cast<int>(old_bytes * gc_new_bytes / GC_SWEEP_THRESHOLD);
}

void gc_collect_step(gc_object* extra_root) {
    gc_mark_obj(extra_root);

    if (!gc_stress && gc_new_bytes <= GC_SWEEP_THRESHOLD) {
        gc_mark_queued(gc_step_limit());
        return;
    }

    gc_mark_queued(2147483647);

    int dead = gc_alloced_bytes - gc_marked_bytes;
    if (dead != 0) {
        gc_free_bytes += dead;
        list_splice(gc_unmarked_list, gc_free_list);
    }
    gc_alloced_bytes = gc_marked_bytes;
    list_splice(gc_marked_list, gc_unmarked_list);
    gc_marked_bytes = 0;
    gc_markbit ^= 1;
    gc_mark();
    gc_new_bytes = 0;

    if (gc_stress) {
        while (gc_free_list.succ != &gc_free_list) destroy_first_free();
        gc_free_bytes = 0;
    }
}

bool gc_is_live(const void* address) {
    for (gc_object* head : {&gc_queued_list, &gc_unmarked_list, &gc_marked_list}) {
        for (gc_object* p = head->succ; p != head; p = p->succ) {
            if (p == address) return true;
        }
    }
    return false;
}
