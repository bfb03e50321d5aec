#include "platform/MessageBox.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

TEST(MessageBox, GoesToTheInstalledHandlerFromAnyThread) {
    std::vector<std::u16string> shown;
    auto previous = platform::SetMessageBoxHandler([&shown](std::u16string_view text) { shown.emplace_back(text); });
    platform::ShowMessageBox(u"提示");
    std::thread([] { platform::ShowMessageBox(u"from the worker"); }).join();
    platform::SetMessageBoxHandler(previous);
    EXPECT_EQ(shown, (std::vector<std::u16string>{u"提示", u"from the worker"}));
}

TEST(MessageBox, WithoutAHandlerTheTextGoesToStderr) {
    auto previous = platform::SetMessageBoxHandler(nullptr);
    testing::internal::CaptureStderr();
    platform::ShowMessageBox(u"输入查询的开始日期有误，请重新输入！");
    std::string err = testing::internal::GetCapturedStderr();
    platform::SetMessageBoxHandler(previous);
    EXPECT_EQ(err, "输入查询的开始日期有误，请重新输入！\n");
}
