#pragma once

/// A process-wide object created on the first `instance()` call and deleted by `destroy()`.
/// The object is made through a derived creator class, so T's constructor can stay protected.
template <typename T>
class dynamic_singleton
{
public:
    static T* instance()
    {
        if (!s_instance)
            s_instance = new Creator;
        return s_instance;
    }

    static bool exists() { return s_instance != nullptr; }

    static void destroy()
    {
        // Deleted through the base, whose destructor is virtual: T's own may stay protected.
        dynamic_singleton* object = s_instance;
        s_instance = nullptr;
        delete object;
    }

protected:
    dynamic_singleton() = default;
    virtual ~dynamic_singleton() = default;

private:
    struct Creator : public T
    {
    };

    dynamic_singleton(const dynamic_singleton&) = delete;
    dynamic_singleton& operator=(const dynamic_singleton&) = delete;

    static inline T* s_instance = nullptr;
};
