#include "update/launcher_messages.h"

#include <array>

#include "base/text/ox_unicode.h"

namespace {

constexpr std::array<const char*, static_cast<std::size_t>(LauncherText::StatusLaunchParked) + 1> kUtf8Texts = {
    "雾港",
    "当前版本v",
    "最新版本v",
    "宋体",
    "读取本地更新文件错误，请下载紧急更新文件！",
    "farLaunch.exe版本错误，请在官网重新下载！！！",
    "处于截断版本请登录网站重新下载",
    "下载失败！！请检查网络重新下载",
    "更新失败！！请重新更新！！！",
    "ftp暂时没有开通",
    "下载失败！！！",
    "磁盘剩余空间不足，请清理后再运行！",
    "服务器配置档读取错误！",
    "farLaunch更新完成，请重新开启游戏！",
    "清理缓存成功，请重新开启游戏！",
    "当前正在安装，强制关闭可能损坏文件，是否继续关闭？",
    "更新完成",
    "正在下载文件:%s %d/%d",
    // The file, then the retry and how many there are.
    "网络中断，正在重试:%s %d/%d",
    "获取服务器列表中…",
    "无法更新",
    "获取服务器配置档中",
    "正在安装文件:",
    "正在更新文件",
    "·",
    // Followed by the reason.
    "游戏客户端无法启动：",
    // A launch waits for the archive being unpacked.
    "正在安装更新，完成后启动游戏",
};

}  // namespace

const std::string& Text(LauncherText id) {
  // Converted once; workers and the UI thread read the table concurrently.
  static const auto table = [] {
    std::array<std::string, kUtf8Texts.size()> converted;
    for (std::size_t i = 0; i < kUtf8Texts.size(); ++i) {
      converted[i] = ox_base::Utf8ToCodePage(kUtf8Texts[i], ox_base::kLauncherCodePage);
    }
    return converted;
  }();
  return table[static_cast<std::size_t>(id)];
}
