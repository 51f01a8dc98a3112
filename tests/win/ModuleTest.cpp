#include <gtest/gtest.h>

#include "platform/win/GlobalMemory.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/Module.h"
#include "platform/win/Window.h"

namespace {

using AllocateFn = void* (*)(unsigned, unsigned char);
using PostFn = int (*)(win::HWND, unsigned);

std::vector<win::UINT> received;

win::LRESULT recordingProc(win::HWND, win::UINT message, win::WPARAM, win::LPARAM) {
    received.push_back(message);
    return 0;
}

TEST(WinModule, LoadsResolvesAndFrees) {
    win::HMODULE module = win::LoadLibrary(WIN_TEST_MODULE);
    ASSERT_NE(module, nullptr);
    EXPECT_NE(win::GetProcAddress(module, "ModuleAllocate"), nullptr);
    EXPECT_EQ(win::GetProcAddress(module, "NoSuchExport"), nullptr);
    EXPECT_TRUE(win::FreeLibrary(module));
    EXPECT_EQ(win::LoadLibrary("/nonexistent/TWAIN_32.DLL"), nullptr);
    EXPECT_EQ(win::LoadLibrary(""), nullptr);
}

TEST(WinModule, ModuleSharesMemoryTableAndMessageQueue) {
    win::HMODULE module = win::LoadLibrary(WIN_TEST_MODULE);
    ASSERT_NE(module, nullptr);
    auto allocate = reinterpret_cast<AllocateFn>(win::GetProcAddress(module, "ModuleAllocate"));
    auto post = reinterpret_cast<PostFn>(win::GetProcAddress(module, "ModulePost"));
    ASSERT_NE(allocate, nullptr);
    ASSERT_NE(post, nullptr);

    win::HGLOBAL memory = allocate(16, 0xAB);
    ASSERT_EQ(win::GlobalSize(memory), 16u);
    const auto* bytes = static_cast<const unsigned char*>(win::GlobalLock(memory));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(bytes[15], 0xAB);
    win::GlobalUnlock(memory);
    EXPECT_EQ(win::GlobalFree(memory), nullptr);

    win::WNDCLASS cls{};
    cls.lpfnWndProc = recordingProc;
    cls.lpszClassName = "ModuleTestWindow";
    ASSERT_NE(win::RegisterClass(&cls), 0);
    win::HWND window = win::CreateWindowEx(0, "ModuleTestWindow", "", 0, 0, 0, 1, 1, nullptr,
                                           nullptr, nullptr, nullptr);
    received.clear();
    EXPECT_EQ(post(window, win::WM_USER + 5), 1);
    EXPECT_TRUE(received.empty());
    EXPECT_EQ(win::DispatchPostedMessages(), 1u);
    EXPECT_EQ(received, std::vector<win::UINT>{win::WM_USER + 5});
    win::DestroyWindow(window);
    win::UnregisterClass("ModuleTestWindow", nullptr);
    EXPECT_TRUE(win::FreeLibrary(module));
}

}  // namespace
