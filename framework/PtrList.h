// Growable arrays of pointers. PtrList only refers to its elements; PtrMgr
// owns them and destroys them through their virtual destructors.
#pragma once

#include <cstdint>
#include <cstring>
#include <new>

namespace VRAX {

template <typename T>
class PtrList {
public:
    static constexpr int32_t kMaxCapacity = 536870911;

    PtrList() = default;
    PtrList(const PtrList&) = delete;
    PtrList& operator=(const PtrList&) = delete;
    virtual ~PtrList() { delete[] items; }

    virtual void add(T* element) {
        if (count == capacity) grow(count + growBy);
        items[count++] = element;
    }
    virtual void clear() { count = 0; }
    virtual T* get(int32_t index) const { return items[index]; }
    virtual int32_t size() const { return count; }
    virtual void resize(int32_t n) {
        if (capacity < n) grow(n);
        count = n;
    }
    virtual void assign(int32_t n, T* element) {
        if (capacity < n) grow(n);
        count = n;
        for (int32_t i = 0; i < n; ++i) items[i] = element;
    }
    virtual void set(int32_t index, T* element) { items[index] = element; }
    virtual bool isEmpty() const { return size() == 0; }
    virtual void copyFrom(const PtrList& other) {
        if (&other == this) return;
        if (capacity < other.count) grow(other.count);
        for (int32_t i = 0; i < other.count; ++i) items[i] = other.items[i];
        count = other.count;
    }
    virtual void assignFrom(const PtrList& other) { copyFrom(other); }

    int32_t getCapacity() const { return capacity; }
    int32_t getGrowBy() const { return growBy; }

protected:
    // Grows to exactly n entries; never shrinks. On failure the list keeps its
    // old storage and the allocation failure propagates.
    void grow(int32_t n) {
        if (n <= capacity) return;
        if (n > kMaxCapacity) throw std::bad_alloc();
        T** fresh = new T*[static_cast<size_t>(n)];
        if (count > 0) std::memcpy(fresh, items, sizeof(T*) * static_cast<size_t>(count));
        delete[] items;
        items = fresh;
        capacity = n;
    }

    T** items = nullptr;
    int32_t capacity = 0;
    int32_t count = 0;
    int32_t growBy = 32;
};

template <typename T>
class PtrMgr : public PtrList<T> {
public:
    PtrMgr() = default;
    ~PtrMgr() override {
        for (int32_t i = 0; i < this->count; ++i) {
            T* element = this->items[i];
            if (element) {
                this->items[i] = nullptr;
                delete element;
            }
        }
        this->count = 0;
    }
    void clear() override {
        for (int32_t i = 0; i < this->size(); ++i) {
            T* element = this->items[i];
            if (element) {
                this->items[i] = nullptr;
                delete element;
            }
        }
        this->count = 0;
    }
};

// First non-null element whose nameIs(name) holds, in list order; null when
// none does. Lists are short and searched only while an editor is built.
template <typename T>
T* findByName(const PtrList<T>& list, const char* name) {
    if (!name) return nullptr;
    for (int32_t i = 0; i < list.size(); ++i) {
        T* element = list.get(i);
        if (element && element->nameIs(name)) return element;
    }
    return nullptr;
}

}  // namespace VRAX
