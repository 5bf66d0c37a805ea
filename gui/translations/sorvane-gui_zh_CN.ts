<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CheckText</name>
    <message>
        <source>lists</source>
        <translation>软件包列表</translation>
    </message>
    <message>
        <source>package database</source>
        <translation>软件包数据库</translation>
    </message>
    <message>
        <source>%1 — checking for updates…</source>
        <translation>%1 — 正在检查更新…</translation>
    </message>
    <message>
        <source>just now</source>
        <translation>刚刚</translation>
    </message>
    <message>
        <source>could not check: %1</source>
        <translation>无法检查：%1</translation>
    </message>
    <message>
        <source>no package repository is configured</source>
        <translation>未配置软件包仓库</translation>
    </message>
    <message>
        <source>no package repository is enabled</source>
        <translation>未启用软件包仓库</translation>
    </message>
    <message>
        <source>the snap service (snapd) is not running</source>
        <translation>snap 服务（snapd）未运行</translation>
    </message>
    <message>
        <source>an earlier installation was left unfinished: %1</source>
        <translation>之前的一次安装未完成：%1</translation>
    </message>
    <message>
        <source>in use by another program: %1</source>
        <translation>正被另一个程序使用：%1</translation>
    </message>
    <message>
        <source>this computer is not connected to a network</source>
        <translation>此计算机未连接到网络</translation>
    </message>
    <message>
        <source>This is often Debian&apos;s own pacman, installed to build packages for Arch Linux: remove it (sudo apt remove pacman-package-manager makepkg) or configure a repository in /etc/pacman.conf.</source>
        <translation>这通常是 Debian 自带的 pacman，用于为 Arch Linux 构建软件包：请将其删除（sudo apt remove pacman-package-manager makepkg），或在 /etc/pacman.conf 中配置一个仓库。</translation>
    </message>
    <message>
        <source>Enable a repository, or remove %1.</source>
        <translation>请启用一个仓库，或删除 %1。</translation>
    </message>
    <message>
        <source>Start it (sudo systemctl enable --now snapd.socket), or remove snapd.</source>
        <translation>请启动它（sudo systemctl enable --now snapd.socket），或删除 snapd。</translation>
    </message>
    <message>
        <source>Finish it first: sudo dpkg --configure -a</source>
        <translation>请先完成它：sudo dpkg --configure -a</translation>
    </message>
    <message>
        <source>Wait until it has finished.</source>
        <translation>请等待它完成。</translation>
    </message>
    <message>
        <source>Connect to a network.</source>
        <translation>请连接到网络。</translation>
    </message>
    <message>
        <source>%1. %2</source>
        <translation>%1。%2</translation>
    </message>
    <message>
        <source>%1 — cannot update: %2</source>
        <translation>%1 — 无法更新：%2</translation>
    </message>
    <message>
        <source>%1 — %2</source>
        <translation>%1 — %2</translation>
    </message>
    <message numerus="yes">
        <source>nothing to update, %n kept back</source>
        <translation>
            <numerusform>无可更新，保留 %n 个</numerusform>
        </translation>
    </message>
    <message>
        <source>up to date</source>
        <translation>已是最新</translation>
    </message>
    <message>
        <source>%1 to download</source>
        <translation>需下载 %1</translation>
    </message>
    <message>
        <source>%1 from %2</source>
        <translation>%1更新于 %2</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>%1 %2 → %3</source>
        <translation>%1 %2 → %3</translation>
    </message>
    <message>
        <source>%1 (security)</source>
        <translation>%1（安全）</translation>
    </message>
    <message>
        <source>The update would stop at %1.</source>
        <translation>更新会在 %1 处停止。</translation>
    </message>
    <message>
        <source>It is a security update.</source>
        <translation>这是一个安全更新。</translation>
    </message>
    <message>
        <source>Open Sorvane Update</source>
        <translation>打开 Sorvane Update</translation>
    </message>
    <message>
        <source>Your changes to %1 will be kept; if the update brings a new version of it, that goes beside it.</source>
        <translation>将保留您对 %1 的修改；如果更新带来它的新版本，新版本会放在它旁边。</translation>
    </message>
    <message>
        <source>There is not enough room on %1: the update needs about %2 there, and %3 is free.</source>
        <translation>%1 上的空间不足：更新在那里大约需要 %2，而可用空间为 %3。</translation>
    </message>
    <message>
        <source>To make room: %1.</source>
        <translation>释放空间的方法：%1。</translation>
    </message>
    <message>
        <source>This computer is not connected to a network, so the update could download nothing. Connect, then check again.</source>
        <translation>此计算机未连接到网络，更新将无法下载任何内容。请连接网络，然后重新检查。</translation>
    </message>
    <message>
        <source>The update would stop at %1, and leave %2 alone.</source>
        <translation>更新会在 %1 处停止，不会更新 %2。</translation>
    </message>
    <message>
        <source>Then check again.</source>
        <translation>然后重新检查。</translation>
    </message>
    <message numerus="yes">
        <source>%n minute(s) ago</source>
        <translation>
            <numerusform>%n 分钟前</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n hour(s) ago</source>
        <translation>
            <numerusform>%n 小时前</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n day(s) ago</source>
        <translation>
            <numerusform>%n 天前</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n update(s)</source>
        <translation>
            <numerusform>%n 个更新</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 (%n security)</source>
        <translation>
            <numerusform>%1（%n 个安全更新）</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Your changes to %n configuration file(s) will be kept (%1); where the update brings new versions, they go beside them.</source>
        <translation>
            <numerusform>将保留您对 %n 个配置文件的修改（%1）；如果更新带来新版本，新版本会放在它们旁边。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n update(s) are waiting</source>
        <translation>
            <numerusform>有 %n 个更新待安装</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n of them are security updates.</source>
        <translation>
            <numerusform>其中 %n 个是安全更新。</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 (kept back: %2)</source>
        <translation>%1（暂缓：%2）</translation>
    </message>
    <message>
        <source>held: you or an administrator told %1 not to update it</source>
        <translation>已锁定：您或管理员已让 %1 不更新它</translation>
    </message>
    <message>
        <source>being rolled out to %1 % of computers</source>
        <translation>正在逐步推送给 %1 % 的计算机</translation>
    </message>
    <message>
        <source>being rolled out to some computers first</source>
        <translation>正在先推送给部分计算机</translation>
    </message>
    <message>
        <source>its new version needs changes to other packages that this update does not make</source>
        <translation>其新版本需要改动其他软件包，而本次更新不会进行这些改动</translation>
    </message>
    <message>
        <source>checked %1</source>
        <translation>%1检查</translation>
    </message>
    <message>
        <source>The lists could not be refreshed for this check (%1): this is what they knew when they were last refreshed.</source>
        <translation>无法为此次检查刷新软件包列表（%1）：以下是列表上次刷新时所知的内容。</translation>
    </message>
    <message>
        <source>not checked on a metered connection</source>
        <translation>未在按流量计费的连接上检查</translation>
    </message>
    <message>
        <source>%1, which is held, needs the version installed now</source>
        <translation>%1 已被保留，需要当前安装的版本</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Show these options and exit.</source>
        <translation>显示这些选项并退出。</translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation>显示版本并退出。</translation>
    </message>
    <message>
        <source>Check for updates without a window. Exit status: 0 up to date, 100 updates pending, 101 only held-back security updates, 1 the check failed.</source>
        <translation>不打开窗口检查更新。退出状态：0 已是最新，100 有待安装的更新，101 仅有被保留的安全更新，1 检查失败。</translation>
    </message>
    <message>
        <source>With --check or --history: write JSON.</source>
        <translation>与 --check 或 --history 一起：输出 JSON。</translation>
    </message>
    <message>
        <source>With --check: show a desktop notice when updates are waiting.</source>
        <translation>与 --check 一起：有更新等待时显示桌面通知。</translation>
    </message>
    <message>
        <source>With --check: write the check as Prometheus metrics.</source>
        <translation>与 --check 一起：以 Prometheus 指标输出检查结果。</translation>
    </message>
    <message>
        <source>FILE</source>
        <translation>FILE</translation>
    </message>
    <message>
        <source>With --prometheus: write the metrics to FILE (for the node exporter&apos;s textfile collector) rather than to stdout.</source>
        <translation>与 --prometheus 一起：将指标写入 FILE（供 node exporter 的 textfile 收集器读取），而不是标准输出。</translation>
    </message>
    <message>
        <source>With --check: answer as a Nagios or Icinga plugin.</source>
        <translation>与 --check 一起：作为 Nagios 或 Icinga 插件回答。</translation>
    </message>
    <message>
        <source>RANGE</source>
        <translation>RANGE</translation>
    </message>
    <message>
        <source>With --nagios: warn when the pending updates are in RANGE (default 0).</source>
        <translation>与 --nagios 一起：待安装的更新数在 RANGE 内时警告（默认 0）。</translation>
    </message>
    <message>
        <source>With --nagios: critical when the security updates are in RANGE (default 0).</source>
        <translation>与 --nagios 一起：安全更新数在 RANGE 内时为严重（默认 0）。</translation>
    </message>
    <message>
        <source>With --nagios: warn when the package lists&apos; age in seconds is in RANGE.</source>
        <translation>与 --nagios 一起：软件包列表的时长（秒）在 RANGE 内时警告。</translation>
    </message>
    <message>
        <source>With --nagios: critical when the package lists&apos; age in seconds is in RANGE.</source>
        <translation>与 --nagios 一起：软件包列表的时长（秒）在 RANGE 内时为严重。</translation>
    </message>
    <message>
        <source>List every package manager&apos;s past transactions, newest first.</source>
        <translation>列出每个包管理器过去的事务，最新的在前。</translation>
    </message>
    <message>
        <source>YYYY-MM-DD</source>
        <translation>YYYY-MM-DD</translation>
    </message>
    <message>
        <source>With --history: only transactions from that day on.</source>
        <translation>与 --history 一起：只列出从该日起的事务。</translation>
    </message>
    <message>
        <source>NAME</source>
        <translation>NAME</translation>
    </message>
    <message>
        <source>With --history: only transactions that touched NAME.</source>
        <translation>与 --history 一起：只列出涉及 NAME 的事务。</translation>
    </message>
    <message>
        <source>Usage:</source>
        <translation>用法：</translation>
    </message>
    <message>
        <source>Sorvane Update: the window that updates every package manager at once, and the same check without a window, for scripts, notices and monitoring.</source>
        <translation>Sorvane Update：一次更新所有包管理器的窗口，以及不打开窗口的同一检查，供脚本、通知和监控使用。</translation>
    </message>
    <message>
        <source>unknown option: %1</source>
        <translation>未知选项：%1</translation>
    </message>
    <message>
        <source>unexpected argument: %1</source>
        <translation>多余的参数：%1</translation>
    </message>
    <message>
        <source>%1 needs --check or --history</source>
        <translation>%1 需要 --check 或 --history</translation>
    </message>
    <message>
        <source>%1 cannot be used with %2</source>
        <translation>%1 不能与 %2 一起使用</translation>
    </message>
    <message>
        <source>%1 is given twice</source>
        <translation>%1 给出了两次</translation>
    </message>
    <message>
        <source>--package needs a package name</source>
        <translation>--package 需要一个软件包名称</translation>
    </message>
    <message>
        <source>Try &apos;sorvane-gui --help&apos; for the options.</source>
        <translation>运行“sorvane-gui --help”查看选项。</translation>
    </message>
    <message>
        <source>not a date: %1</source>
        <translation>不是日期：%1</translation>
    </message>
    <message>
        <source>Qt&apos;s options</source>
        <translation>Qt 的选项</translation>
    </message>
</context>
<context>
    <name>HistoryText</name>
    <message>
        <source>succeeded</source>
        <translation>成功</translation>
    </message>
    <message>
        <source>succeeded with warnings</source>
        <translation>成功，但有警告</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>unfinished</source>
        <translation>未完成</translation>
    </message>
    <message>
        <source>upgraded</source>
        <translation>已升级</translation>
    </message>
    <message>
        <source>installed</source>
        <translation>已安装</translation>
    </message>
    <message>
        <source>removed</source>
        <translation>已移除</translation>
    </message>
    <message>
        <source>changed</source>
        <translation>已更改</translation>
    </message>
    <message numerus="yes">
        <source>%n upgraded</source>
        <translation>
            <numerusform>%n 个已升级</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n installed</source>
        <translation>
            <numerusform>%n 个已安装</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n removed</source>
        <translation>
            <numerusform>%n 个已移除</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n changed otherwise</source>
        <translation>
            <numerusform>%n 个以其他方式更改</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n package(s) changed</source>
        <translation>
            <numerusform>%n 个软件包已更改</numerusform>
        </translation>
    </message>
    <message>
        <source>no packages changed</source>
        <translation>没有软件包更改</translation>
    </message>
    <message>
        <source>elsewhere</source>
        <translation>其他途径</translation>
    </message>
    <message>
        <source>Sorvane Update, with warnings</source>
        <translation>Sorvane Update，有警告</translation>
    </message>
    <message>
        <source>Sorvane Update, which failed</source>
        <translation>Sorvane Update，已失败</translation>
    </message>
    <message>
        <source>Sorvane Update</source>
        <translation>Sorvane Update</translation>
    </message>
    <message>
        <source>%1 → %2</source>
        <translation>%1 → %2</translation>
    </message>
    <message>
        <source>Could not read %1: %2</source>
        <translation>无法读取 %1：%2</translation>
    </message>
    <message>
        <source>%1  %2  %3  %4  (through %5)</source>
        <translation>%1  %2  %3  %4  （通过 %5）</translation>
    </message>
    <message numerus="yes">
        <source>%n config file(s) kept as you changed them</source>
        <translation>
            <numerusform>%n 个配置文件保留了您的更改</numerusform>
        </translation>
    </message>
    <message>
        <source>The computer restarted after it.</source>
        <translation>之后计算机已重新启动。</translation>
    </message>
    <message>
        <source>Log: %1</source>
        <translation>日志：%1</translation>
    </message>
    <message>
        <source>No updates found.</source>
        <translation>未找到更新。</translation>
    </message>
</context>
<context>
    <name>Notifier</name>
    <message>
        <source>The notice was shown; Sorvane Update opens.</source>
        <translation>已显示通知；正在打开 Sorvane Update。</translation>
    </message>
    <message>
        <source>The notice was shown and closed.</source>
        <translation>已显示通知，通知已关闭。</translation>
    </message>
    <message>
        <source>The notice was shown.</source>
        <translation>已显示通知。</translation>
    </message>
    <message>
        <source>No notice: these updates were announced before.</source>
        <translation>未通知：这些更新之前已通知过。</translation>
    </message>
    <message>
        <source>No notice: nothing is waiting.</source>
        <translation>未通知：没有待安装的更新。</translation>
    </message>
    <message>
        <source>No notice: the check failed.</source>
        <translation>未通知：检查失败。</translation>
    </message>
    <message>
        <source>No notice: &quot;Tell me when updates are waiting&quot; is turned off.</source>
        <translation>未通知：“有更新待安装时通知我”已关闭。</translation>
    </message>
    <message>
        <source>No notice: there is no session bus.</source>
        <translation>未通知：没有会话总线。</translation>
    </message>
    <message>
        <source>No notice: nothing on the session bus shows notifications.</source>
        <translation>未通知：会话总线上没有显示通知的服务。</translation>
    </message>
    <message>
        <source>No notice: the notification service refused it: %1</source>
        <translation>未通知：通知服务拒绝了它：%1</translation>
    </message>
    <message>
        <source>Sorvane Update could not be opened.</source>
        <translation>无法打开 Sorvane Update。</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Open log</source>
        <translation>打开日志</translation>
    </message>
    <message>
        <source>Nothing on this computer opens folders. The log is kept here:</source>
        <translation>此计算机上没有可打开文件夹的程序。日志保存在：</translation>
    </message>
    <message>
        <source>Copy path</source>
        <translation>复制路径</translation>
    </message>
    <message>
        <source>Copies where the log is kept</source>
        <translation>复制日志所在位置</translation>
    </message>
</context>
<context>
    <name>SystemWords</name>
    <message>
        <source>%1 gets regular security updates until %2.</source>
        <translation>%1 的常规安全更新持续到 %2。</translation>
    </message>
    <message>
        <source>%1 gets regular security updates until %2; long-term support until %3.</source>
        <translation>%1 的常规安全更新持续到 %2；长期支持至 %3。</translation>
    </message>
    <message>
        <source>This computer is running on battery (%1 %).</source>
        <translation>此计算机正在使用电池供电（%1 %）。</translation>
    </message>
    <message>
        <source>This computer is running on battery.</source>
        <translation>此计算机正在使用电池供电。</translation>
    </message>
    <message>
        <source>The battery is low: plug the computer in to update it, so that it cannot stop halfway.</source>
        <translation>电池电量低：请接通电源后再更新，以免更新中途断电。</translation>
    </message>
    <message>
        <source>Power saver is on: the update may take longer.</source>
        <translation>节能模式已开启：更新可能需要更长时间。</translation>
    </message>
    <message>
        <source>This connection is metered: the update will download %1 over it.</source>
        <translation>此连接按流量计费：更新将通过它下载 %1。</translation>
    </message>
    <message>
        <source>This connection is metered: the update downloads its packages over it.</source>
        <translation>此连接按流量计费：更新将通过它下载软件包。</translation>
    </message>
    <message>
        <source>The daily check did not look for updates: the connection was metered.</source>
        <translation>每日检查未查找更新：当时的连接按流量计费。</translation>
    </message>
    <message>
        <source>Plug in to update</source>
        <translation>接通电源以更新</translation>
    </message>
    <message>
        <source>Hide until regular support ends</source>
        <translation>隐藏，直到常规支持结束</translation>
    </message>
    <message>
        <source>%1 is in long-term support until %2.</source>
        <translation>%1 处于长期支持阶段，持续到 %2。</translation>
    </message>
    <message>
        <source>Hide until long-term support ends</source>
        <translation>隐藏，直到长期支持结束</translation>
    </message>
    <message>
        <source>%1 no longer gets regular security updates: its support ended on %2.</source>
        <translation>%1 已不再获得常规安全更新：其支持已于 %2 结束。</translation>
    </message>
    <message>
        <source>%1 no longer gets security updates: its long-term support ended on %2.</source>
        <translation>%1 已不再获得安全更新：其长期支持已于 %2 结束。</translation>
    </message>
    <message>
        <source>How to upgrade</source>
        <translation>如何升级</translation>
    </message>
    <message>
        <source>How to upgrade: %1</source>
        <translation>如何升级：%1</translation>
    </message>
    <message>
        <source>Warning: %1</source>
        <translation>警告：%1</translation>
    </message>
</context>
<context>
    <name>UpdateEnd</name>
    <message>
        <source>Restart now</source>
        <translation>立即重启</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::DetailsPane</name>
    <message>
        <source>What&apos;s new</source>
        <translation>新内容</translation>
    </message>
    <message>
        <source>Update details</source>
        <translation>更新详情</translation>
    </message>
    <message>
        <source>Fetches what is new in the selected update</source>
        <translation>获取所选更新的新内容</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::HistoryItems</name>
    <message>
        <source>When</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>Manager</source>
        <translation>包管理器</translation>
    </message>
    <message>
        <source>Changes</source>
        <translation>更改</translation>
    </message>
    <message>
        <source>Outcome</source>
        <translation>结果</translation>
    </message>
    <message>
        <source>Through</source>
        <translation>途径</translation>
    </message>
    <message numerus="yes">
        <source>%n update(s)</source>
        <translation>
            <numerusform>%n 个更新</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n update(s)</source>
        <translation>
            <numerusform>%n 个更新中的 %1 个</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>sorvane::gui::HistoryPage</name>
    <message>
        <source>Open log</source>
        <translation>打开日志</translation>
    </message>
    <message>
        <source>History</source>
        <translation>历史</translation>
    </message>
    <message>
        <source>Filter by package name</source>
        <translation>按软件包名称筛选</translation>
    </message>
    <message>
        <source>Manager</source>
        <translation>包管理器</translation>
    </message>
    <message>
        <source>All managers</source>
        <translation>所有包管理器</translation>
    </message>
    <message>
        <source>Updates, newest first</source>
        <translation>更新，最新的在前</translation>
    </message>
    <message>
        <source>Updates shown</source>
        <translation>显示的更新</translation>
    </message>
    <message>
        <source>Sources that could not be read</source>
        <translation>无法读取的来源</translation>
    </message>
    <message>
        <source>Opens the folder the log of the selected update is kept in</source>
        <translation>打开保存所选更新日志的文件夹</translation>
    </message>
    <message>
        <source>Reading the history…</source>
        <translation>正在读取历史…</translation>
    </message>
    <message>
        <source>%1 (reading older logs…)</source>
        <translation>%1（正在读取更早的日志…）</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::PackageDetails</name>
    <message>
        <source>Select an update to see what is new in it.</source>
        <translation>选择一个更新以查看其新内容。</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>%1 %2 → %3</source>
        <translation>%1 %2 → %3</translation>
    </message>
    <message>
        <source>Advisories: %1</source>
        <translation>公告：%1</translation>
    </message>
    <message>
        <source>%1 does not say what is new in its updates.</source>
        <translation>%1 不提供其更新的新内容。</translation>
    </message>
    <message>
        <source>Fetching what is new…</source>
        <translation>正在获取新内容…</translation>
    </message>
    <message>
        <source>What is new could not be fetched: %1</source>
        <translation>无法获取新内容：%1</translation>
    </message>
    <message>
        <source>Nothing is written about this version.</source>
        <translation>此版本没有任何说明。</translation>
    </message>
    <message>
        <source>%1 has nothing to say about what is new in this update.</source>
        <translation>%1 没有关于此更新新内容的说明。</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::ReadyPage</name>
    <message>
        <source>Package managers</source>
        <translation>软件包管理器</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>更新</translation>
    </message>
    <message>
        <source>Check again</source>
        <translation>重新检查</translation>
    </message>
    <message>
        <source>Use my password anyway</source>
        <translation>仍然使用我的密码</translation>
    </message>
    <message>
        <source>Repair…</source>
        <translation>修复…</translation>
    </message>
    <message>
        <source>Ready to update</source>
        <translation>已准备好更新</translation>
    </message>
    <message>
        <source>Your password</source>
        <translation>您的密码</translation>
    </message>
    <message>
        <source>Opens a terminal that finishes the unfinished installation</source>
        <translation>打开一个终端来完成未完成的安装</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>详细信息</translation>
    </message>
    <message>
        <source>Shows every pending update</source>
        <translation>显示每个待安装的更新</translation>
    </message>
    <message>
        <source>Commands to run in a terminal</source>
        <translation>要在终端中运行的命令</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>Copies the commands</source>
        <translation>复制这些命令</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::RunPage</name>
    <message>
        <source>Steps</source>
        <translation>步骤</translation>
    </message>
    <message>
        <source>Update progress</source>
        <translation>更新进度</translation>
    </message>
    <message>
        <source>Latest output</source>
        <translation>最新输出</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>详细信息</translation>
    </message>
    <message>
        <source>Shows the update&apos;s whole output</source>
        <translation>显示更新的全部输出</translation>
    </message>
    <message>
        <source>Full log</source>
        <translation>完整日志</translation>
    </message>
    <message>
        <source>Restart now</source>
        <translation>立即重启</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>稍后</translation>
    </message>
    <message>
        <source>Failed at %p%</source>
        <translation>在 %p% 处失败</translation>
    </message>
    <message>
        <source>The update failed</source>
        <translation>更新失败</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::UpdateItems</name>
    <message>
        <source>waiting</source>
        <translation>等待中</translation>
    </message>
    <message>
        <source>running</source>
        <translation>运行中</translation>
    </message>
    <message>
        <source>done</source>
        <translation>已完成</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>not run</source>
        <translation>未运行</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>版本</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>updated</source>
        <translation>已更新</translation>
    </message>
    <message>
        <source>not updated</source>
        <translation>未更新</translation>
    </message>
    <message>
        <source>security update</source>
        <translation>安全更新</translation>
    </message>
    <message>
        <source>%1 → %2</source>
        <translation>%1 → %2</translation>
    </message>
    <message>
        <source>kept back: %1</source>
        <translation>暂缓：%1</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::UpdateModel</name>
    <message>
        <source>%1 cannot be checked.</source>
        <translation>无法检查 %1。</translation>
    </message>
    <message>
        <source>%1 belongs to another user, who could change what runs as root.</source>
        <translation>%1 属于另一个用户，该用户可以更改以 root 身份运行的内容。</translation>
    </message>
    <message>
        <source>%1 can be changed by other users, who could change what runs as root.</source>
        <translation>其他用户可以修改 %1，从而更改以 root 身份运行的内容。</translation>
    </message>
    <message>
        <source>%1 leads through too many links.</source>
        <translation>%1 经过的符号链接过多。</translation>
    </message>
    <message>
        <source>The update script cannot be read: %1</source>
        <translation>无法读取更新脚本：%1</translation>
    </message>
    <message>
        <source>The update script&apos;s folder is not yours.</source>
        <translation>更新脚本所在的文件夹不属于您。</translation>
    </message>
    <message>
        <source>Other users can change the update script&apos;s folder.</source>
        <translation>其他用户可以修改更新脚本所在的文件夹。</translation>
    </message>
    <message>
        <source>The update script is not a plain file.</source>
        <translation>更新脚本不是普通文件。</translation>
    </message>
    <message>
        <source>The update script is not yours.</source>
        <translation>更新脚本不属于您。</translation>
    </message>
    <message>
        <source>Other users can read or change the update script.</source>
        <translation>其他用户可以读取或修改更新脚本。</translation>
    </message>
    <message>
        <source>The update script is not the one Sorvane writes.</source>
        <translation>更新脚本不是 Sorvane 所写的那个脚本。</translation>
    </message>
    <message>
        <source>Sorvane Update</source>
        <translation>Sorvane Update</translation>
    </message>
    <message>
        <source>Packages are being updated</source>
        <translation>正在更新软件包</translation>
    </message>
    <message>
        <source>Sorvane Update cannot tell where it is installed.</source>
        <translation>Sorvane Update 无法确定自身的安装位置。</translation>
    </message>
    <message>
        <source>No trusted system bash was found.</source>
        <translation>未找到可信的系统 bash。</translation>
    </message>
    <message>
        <source>No private folder could be made for the update: %1</source>
        <translation>无法为更新创建私有文件夹：%1</translation>
    </message>
    <message>
        <source>Looking for package managers took too long and was stopped.</source>
        <translation>查找软件包管理器耗时过长，已停止。</translation>
    </message>
    <message>
        <source>Sorvane answered in a way this window does not understand.</source>
        <translation>此窗口无法理解 Sorvane 的回应。</translation>
    </message>
    <message>
        <source>sudo is not installed, and system packages can only be updated with it.</source>
        <translation>未安装 sudo，而系统软件包只能通过它来更新。</translation>
    </message>
    <message>
        <source>An update is already running; it was started in another window. Here is how it goes.</source>
        <translation>已有一个更新正在运行，它是在另一个窗口中启动的。以下是它的进度。</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>Checking for updates…</source>
        <translation>正在检查更新…</translation>
    </message>
    <message>
        <source>Your account may not install updates</source>
        <translation>您的账户可能无权安装更新</translation>
    </message>
    <message>
        <source>The update would not succeed</source>
        <translation>更新将无法成功</translation>
    </message>
    <message>
        <source>Your system is up to date</source>
        <translation>您的系统已是最新</translation>
    </message>
    <message>
        <source>Ready to update</source>
        <translation>已准备好更新</translation>
    </message>
    <message>
        <source>Installing updates needs an administrator&apos;s rights, and your account is in none of the groups that have them (sudo, wheel or admin). Ask the person who looks after this computer to update it, or to give your account those rights.</source>
        <translation>安装更新需要管理员权限，而您的账户不在任何拥有该权限的组（sudo、wheel 或 admin）中。请让负责管理此计算机的人来更新它，或为您的账户授予这些权限。</translation>
    </message>
    <message>
        <source>Nothing is waiting. The update can still fetch the newest package lists.</source>
        <translation>没有待安装的更新。更新仍可获取最新的软件包列表。</translation>
    </message>
    <message>
        <source>Nothing is waiting.</source>
        <translation>没有待安装的更新。</translation>
    </message>
    <message>
        <source>The password is longer than sudo accepts.</source>
        <translation>密码超出了 sudo 所接受的长度。</translation>
    </message>
    <message>
        <source>The password cannot hold a line break or a NUL character.</source>
        <translation>密码不能包含换行符或 NUL 字符。</translation>
    </message>
    <message>
        <source>The package managers changed since the check. Here is what the update would do now.</source>
        <translation>自检查以来，软件包管理器已发生变化。以下是更新现在将执行的操作。</translation>
    </message>
    <message>
        <source>Another window has started an update meanwhile.</source>
        <translation>在此期间，另一个窗口已启动了更新。</translation>
    </message>
    <message>
        <source>sudo did not ask for the password, so it was not used and has been discarded.</source>
        <translation>sudo 没有要求输入密码，因此密码未被使用，已丢弃。</translation>
    </message>
    <message>
        <source>Tell me when updates are waiting</source>
        <translation>有更新待安装时通知我</translation>
    </message>
    <message>
        <source>%1 is updating…</source>
        <translation>%1 正在更新…</translation>
    </message>
    <message>
        <source>%1 — %2</source>
        <translation>%1 — %2</translation>
    </message>
    <message>
        <source>sudo did not allow the update</source>
        <translation>sudo 不允许此次更新</translation>
    </message>
    <message>
        <source>The password was not accepted</source>
        <translation>密码未被接受</translation>
    </message>
    <message>
        <source>Password for %1</source>
        <translation>%1 的密码</translation>
    </message>
    <message>
        <source>%1 MB of output in the middle were left out of the log file to save space.</source>
        <translation>为节省空间，日志文件中省略了中间的 %1 MB 输出。</translation>
    </message>
    <message>
        <source>Checking the password…</source>
        <translation>正在验证密码…</translation>
    </message>
    <message>
        <source>Updating…</source>
        <translation>正在更新…</translation>
    </message>
    <message>
        <source>Update complete</source>
        <translation>更新完成</translation>
    </message>
    <message>
        <source>Finished with warnings: %1 ended without an error but did not update %2</source>
        <translation>完成，但有警告：%1 未报错结束，但没有更新 %2</translation>
    </message>
    <message>
        <source>Finished with warnings: “%1”</source>
        <translation>完成，但有警告：“%1”</translation>
    </message>
    <message>
        <source>Finished with warnings from %1: “%2”</source>
        <translation>完成，但 %1 有警告：“%2”</translation>
    </message>
    <message>
        <source>The %1 step failed (exit status %2). Later steps did not run.</source>
        <translation>%1 步骤失败（退出状态 %2）。后续步骤未运行。</translation>
    </message>
    <message>
        <source>The update failed (exit status %1).</source>
        <translation>更新失败（退出状态 %1）。</translation>
    </message>
    <message>
        <source>%1: not run</source>
        <translation>%1：未运行</translation>
    </message>
    <message>
        <source>%1: failed</source>
        <translation>%1：失败</translation>
    </message>
    <message>
        <source>%1: done</source>
        <translation>%1：完成</translation>
    </message>
    <message>
        <source>Restart the computer to finish the update.</source>
        <translation>请重启计算机以完成更新。</translation>
    </message>
    <message>
        <source>The computer could not be restarted: %1</source>
        <translation>无法重启计算机：%1</translation>
    </message>
    <message>
        <source>The update started at %1 finished.</source>
        <translation>%1 开始的更新已完成。</translation>
    </message>
    <message>
        <source>The update started at %1 finished: %2.</source>
        <translation>%1 开始的更新已完成：%2。</translation>
    </message>
    <message>
        <source>The update started at %1 finished with warnings.</source>
        <translation>%1 开始的更新已完成，但有警告。</translation>
    </message>
    <message>
        <source>The update started at %1 finished with warnings from %2.</source>
        <translation>%1 开始的更新已完成，但 %2 给出了警告。</translation>
    </message>
    <message>
        <source>The update started at %1 did not finish.</source>
        <translation>%1 开始的更新未能完成。</translation>
    </message>
    <message>
        <source>The update started at %1 failed at %2.</source>
        <translation>%1 开始的更新在 %2 处失败。</translation>
    </message>
    <message>
        <source>%1: %2 (not updated)</source>
        <translation>%1：%2（未更新）</translation>
    </message>
    <message>
        <source>The computer cannot be restarted from here: logind, which restarts it, is not running. Restart it from the system menu.</source>
        <translation>无法在此重启计算机：负责重启的 logind 未在运行。请从系统菜单重启。</translation>
    </message>
    <message>
        <source>The computer was not restarted: nothing could ask you for permission to restart it.</source>
        <translation>计算机未重启：没有程序能够向您请求重启的许可。</translation>
    </message>
    <message>
        <source>The computer was not restarted: permission to restart it was not given.</source>
        <translation>计算机未重启：未获得重启的许可。</translation>
    </message>
    <message>
        <source>The computer is restarting.</source>
        <translation>计算机正在重启。</translation>
    </message>
    <message>
        <source>The update did not finish, or how it ended is not known.</source>
        <translation>更新未完成，或者无法得知它是如何结束的。</translation>
    </message>
    <message>
        <source>The %1 step failed: the filesystem of %2 is full (%3 free). Make room there — “sudo apt clean” removes the packages apt has downloaded — then update again.</source>
        <translation>%1 步骤失败：%2 所在的文件系统已满（剩余 %3）。请在那里腾出空间（“sudo apt clean”会删除 apt 已下载的软件包），然后再次更新。</translation>
    </message>
    <message>
        <source>The %1 step failed: a package server could not be reached. Check the network connection, then update again.</source>
        <translation>%1 步骤失败：无法连接软件包服务器。请检查网络连接，然后再次更新。</translation>
    </message>
    <message>
        <source>The %1 step failed: the package server %2 could not be reached. Check the network connection, then update again.</source>
        <translation>%1 步骤失败：无法连接软件包服务器 %2。请检查网络连接，然后再次更新。</translation>
    </message>
    <message>
        <source>The %1 step failed: another program is using the package database. Wait until it has finished, then update again.</source>
        <translation>%1 步骤失败：另一个程序正在使用软件包数据库。请等它完成，然后再次更新。</translation>
    </message>
    <message>
        <source>The %1 step failed: %2 is using the package database. Wait until it has finished, then update again.</source>
        <translation>%1 步骤失败：%2 正在使用软件包数据库。请等它完成，然后再次更新。</translation>
    </message>
    <message>
        <source>The %1 step failed: the package %2 could not be set up; its installation script failed. Its message is in Details. Other packages may be left unfinished.</source>
        <translation>%1 步骤失败：软件包 %2 无法完成配置，其安装脚本失败。其消息见“详细信息”。其他软件包可能未完成安装。</translation>
    </message>
    <message>
        <source>The %1 step failed: the package %2 asked what to do with your changed configuration file %3, and no answer could be given here.</source>
        <translation>%1 步骤失败：软件包 %2 询问如何处理您修改过的配置文件 %3，但此处无法作答。</translation>
    </message>
    <message>
        <source>The %1 step failed: “%2” Later steps did not run.</source>
        <translation>%1 步骤失败：“%2”后续步骤未运行。</translation>
    </message>
    <message>
        <source>%1: downloading %2 of %3</source>
        <translation>%1：正在下载第 %2 个，共 %3 个</translation>
    </message>
    <message>
        <source>%1: unpacking %2 of %3</source>
        <translation>%1：正在解包第 %2 个，共 %3 个</translation>
    </message>
    <message>
        <source>%1: setting up %2 of %3</source>
        <translation>%1：正在配置第 %2 个，共 %3 个</translation>
    </message>
    <message>
        <source>%1: installing %2 of %3</source>
        <translation>%1：正在安装第 %2 个，共 %3 个</translation>
    </message>
    <message>
        <source>Your changes to %1 were kept; the new version is beside it: %2.</source>
        <translation>已保留您对 %1 的修改；新版本放在旁边：%2。</translation>
    </message>
    <message>
        <source>The repair runs in the terminal. When the terminal is closed, this window checks again.</source>
        <translation>修复正在终端中进行。终端关闭后，此窗口会重新检查。</translation>
    </message>
    <message>
        <source>No terminal program was found (xdg-terminal-exec or x-terminal-emulator). Open a terminal, run the command below and answer its questions there; a failing package&apos;s own message is shown there too.</source>
        <translation>未找到终端程序（xdg-terminal-exec 或 x-terminal-emulator）。请打开一个终端，运行下面的命令并在其中回答它的问题；出错软件包自己的消息也会显示在那里。</translation>
    </message>
    <message>
        <source>Repair… opens a terminal that runs %1. Type your password there and answer any question it asks. If a package&apos;s setup fails again, its own message is shown in the terminal. When the terminal is closed, this window checks again.</source>
        <translation>“修复…”会打开一个运行 %1 的终端。请在其中输入密码并回答它提出的任何问题。如果某个软件包的设置再次失败，它自己的消息会显示在终端中。终端关闭后，此窗口会重新检查。</translation>
    </message>
    <message>
        <source>Press Enter to close this window.</source>
        <translation>按回车键关闭此窗口。</translation>
    </message>
    <message numerus="yes">
        <source>%n update(s) are ready</source>
        <translation>
            <numerusform>有 %n 个更新可用</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n package(s) updated by %1</source>
        <translation>
            <numerusform>%1 更新了 %n 个软件包</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Restart the computer to finish the update: %1 take(s) effect only then.</source>
        <translation>
            <numerusform>请重启计算机以完成更新：%1 只有在重启后才会生效。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: %n package(s) updated</source>
        <translation>
            <numerusform>%1：已更新 %n 个软件包</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: %2 of %n app(s) and runtime(s) updated</source>
        <translation>
            <numerusform>%1：已更新 %2/%n 个应用和运行时</numerusform>
        </translation>
    </message>
    <message>
        <source>%1: %2, %3</source>
        <translation>%1：%2，%3</translation>
    </message>
    <message numerus="yes">
        <source>%n package(s) updated</source>
        <translation>
            <numerusform>已更新 %n 个软件包</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n package(s) kept back</source>
        <translation>
            <numerusform>保留 %n 个软件包</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Your changes to %n configuration file(s) were kept; the new versions are beside them: %1.</source>
        <translation>
            <numerusform>已保留您对 %n 个配置文件的修改；新版本放在旁边：%1。</numerusform>
        </translation>
    </message>
    <message>
        <source>Update</source>
        <translation>更新</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::UpdateRun</name>
    <message>
        <source>No private folder could be made for the update: %1</source>
        <translation>无法为更新创建私有文件夹：%1</translation>
    </message>
    <message>
        <source>The update could not start: %1</source>
        <translation>无法启动更新：%1</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::UpdateTree</name>
    <message>
        <source>Filter packages</source>
        <translation>筛选软件包</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::UpdateWindow</name>
    <message>
        <source>Check again</source>
        <translation>重新检查</translation>
    </message>
    <message>
        <source>No supported package managers found</source>
        <translation>未找到受支持的软件包管理器</translation>
    </message>
    <message>
        <source>Sorvane Update</source>
        <translation>Sorvane Update</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Looking for package managers…</source>
        <translation>正在查找软件包管理器…</translation>
    </message>
    <message>
        <source>There is nothing for Sorvane to update on this computer.</source>
        <translation>此计算机上没有 Sorvane 可以更新的内容。</translation>
    </message>
    <message>
        <source>Nothing was updated</source>
        <translation>未更新任何内容</translation>
    </message>
    <message>
        <source>Close while updating?</source>
        <translation>要在更新过程中关闭吗？</translation>
    </message>
    <message>
        <source>The update will go on to its end without this window. Close it?</source>
        <translation>即使关闭此窗口，更新也会继续运行直至完成。要关闭吗？</translation>
    </message>
    <message>
        <source>Looking for package managers</source>
        <translation>正在查找包管理器</translation>
    </message>
    <message>
        <source>Restart now</source>
        <translation>立即重启</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>稍后</translation>
    </message>
    <message>
        <source>Copy log</source>
        <translation>复制日志</translation>
    </message>
    <message>
        <source>Copies the update&apos;s whole log</source>
        <translation>复制本次更新的完整日志</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Open log</source>
        <translation>打开日志</translation>
    </message>
    <message>
        <source>Opens the folder the update&apos;s log is kept in</source>
        <translation>打开保存此次更新日志的文件夹</translation>
    </message>
    <message>
        <source>History</source>
        <translation>历史</translation>
    </message>
    <message>
        <source>Shows what every package manager did before</source>
        <translation>显示每个包管理器以前做过的操作</translation>
    </message>
</context>
</TS>
