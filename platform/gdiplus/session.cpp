// GdiplusStartup and GdiplusShutdown. Sessions nest: every start-up hands out a token of its own,
// and GDI+ stays up until each of them has been shut down. Nothing here needs a background
// thread, so the notification hooks that a caller asks for do nothing.

#include <atomic>
#include <mutex>
#include <set>
#include <vector>

#include "platform/gdiplus/objects_p.h"

using namespace Gdiplus;

namespace charart::gdiplus {
namespace {

std::mutex g_sessionMutex;
std::set<ULONG_PTR> g_openTokens;
// Tokens are never reused, so shutting down a token twice stays harmless even after another
// session has started. They fit in 32 bits for callers that keep them there.
uint32_t g_lastToken = 0;
std::atomic<bool> g_started{false};

Status HookNotification(ULONG_PTR* token) {
    if (!token)
        return InvalidParameter;
    *token = 0;
    return Ok;
}

void UnhookNotification(ULONG_PTR) {}

}  // namespace

bool IsStarted() {
    return g_started.load(std::memory_order_acquire);
}

}  // namespace charart::gdiplus

using namespace charart::gdiplus;

namespace Gdiplus {

Status GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input,
                      GdiplusStartupOutput* output) {
    if (!token || !input)
        return InvalidParameter;
    if (input->GdiplusVersion != 1 && input->GdiplusVersion != 2)
        return UnsupportedGdiplusVersion;
    if (input->SuppressBackgroundThread) {
        // The caller means to run the hooks itself and must have somewhere to receive them.
        if (!output)
            return InvalidParameter;
        output->NotificationHook = HookNotification;
        output->NotificationUnhook = UnhookNotification;
    } else if (output) {
        output->NotificationHook = nullptr;
        output->NotificationUnhook = nullptr;
    }

    std::lock_guard lock(g_sessionMutex);
    do {
        ++g_lastToken;
    } while (g_lastToken == 0 || g_openTokens.count(g_lastToken));
    g_openTokens.insert(g_lastToken);
    *token = g_lastToken;
    g_started.store(true, std::memory_order_release);
    return Ok;
}

void GdiplusShutdown(ULONG_PTR token) {
    std::vector<std::shared_ptr<Object>> leftovers;
    {
        std::lock_guard lock(g_sessionMutex);
        if (!g_openTokens.erase(token) || !g_openTokens.empty())
            return;
        g_started.store(false, std::memory_order_release);
        // Emptied under the session lock, so a session starting meanwhile keeps its objects.
        leftovers = Objects().Clear();
    }
    // The last session is over: the objects it left alive are destroyed here, outside any lock.
}

}  // namespace Gdiplus
