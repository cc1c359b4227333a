#pragma once

#include <atomic>

// The choice between a platform service of the system and a replacement that a test puts
// in its place, the same for every service.
namespace platform
{
    template <typename Service>
    class ReplaceableService
    {
    public:
        Service& get (Service& system) const
        {
            auto* replacement = current.load();
            return replacement != nullptr ? *replacement : system;
        }

        // Installs a replacement (null: the system's again) and answers the one it replaces.
        Service* replace (Service* replacement) { return current.exchange (replacement); }

    private:
        std::atomic<Service*> current { nullptr };
    };

    // Puts a replacement in place for the object's lifetime.
    template <typename Service, Service* (*setReplacement) (Service*)>
    class ScopedServiceReplacement
    {
    public:
        explicit ScopedServiceReplacement (Service& replacement) : previous (setReplacement (&replacement)) {}
        ~ScopedServiceReplacement() { setReplacement (previous); }

        ScopedServiceReplacement (const ScopedServiceReplacement&) = delete;
        ScopedServiceReplacement& operator= (const ScopedServiceReplacement&) = delete;

    private:
        Service* previous;
    };
}
