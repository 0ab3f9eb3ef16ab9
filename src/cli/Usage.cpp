#include "cli/Usage.h"

#include "common/MessageCatalogue.h"

namespace kelvara {

namespace {

std::string_view ProgramHeader() {
    return Translate("kelvara::Usage",
                     "用法：kelvara [文件...]              打开窗口，文件在窗口中打开\n"
                     "      kelvara find    [选项] TEXT PATH...\n"
                     "      kelvara replace [选项] TEXT REPLACEMENT PATH...\n"
                     "      kelvara undo    [--list] [RUN]    （kelvara undo --help）\n"
                     "      kelvara -h | --help | --version\n");
}

std::string_view FindHeader() {
    return Translate("kelvara::Usage", "用法：kelvara find [选项] TEXT PATH...\n"
                                       "在每个 PATH（文件，或目录下的所有文件）中查找 TEXT。\n");
}

std::string_view ReplaceHeader() {
    return Translate("kelvara::Usage", "用法：kelvara replace [选项] TEXT REPLACEMENT PATH...\n"
                                       "在每个 PATH（文件，或目录下的所有文件）中把 TEXT 替换为 "
                                       "REPLACEMENT。\n");
}

std::string_view CommonOptions() {
    return Translate(
        "kelvara::Usage",
        "  -c, --case           区别大小写\n"
        "  -w, --word           全字匹配\n"
        "  -s, --trim           忽略 TEXT 和每一行两端的空白\n"
        "  -E, --regex          TEXT 是正则表达式（PCRE2）；REPLACEMENT 中 $1、${名字}\n"
        "                       是分组，$0 是找到的字，$$ 是 $\n"
        "  -e, --ext EXT        只勾选扩展名正是 EXT 的文件（\".txt\"）；可以重复\n"
        "  -g, --glob GLOB      遍历目录时只取与 GLOB 相符的条目（\"*.c\"、\"src/**\"），\n"
        "                       或者去掉与 \"!GLOB\" 相符的条目（\"!vendor/**\"）；相对于\n"
        "                       所给的目录；最后一个相符的 GLOB 算数；可以重复\n"
        "      --ignore-files   遍历目录时遵循 .gitignore 和 .ignore 文件\n"
        "      --codepage CP    gbk 或 utf8：没有字节顺序标记的文件都按它处理；\n"
        "                       auto（默认）：每个文件按自己的编码\n"
        "      --format FMT     tree（默认）、grep（路径:行:列）或 json（JSON lines：\n"
        "                       begin、match、context、end 和 summary 对象）\n"
        "  -0, --null           结果中每个路径之后跟一个 NUL 字节，路径不加引号\n"
        "      --color WHEN     给路径、行号和找到的字着色：auto（默认：只在终端上，\n"
        "                       并且没有设置 NO_COLOR）、always 或 never\n"
        "  -v, --verbose        列出每个文件的编码和遍历目录时跳过的条目\n");
}

std::string_view FindOptions() {
    return Translate(
        "kelvara::Usage",
        "  -A, --after-context N\n"
        "                       同时显示每个命中行之后的 N 行（grep、json）\n"
        "  -B, --before-context N\n"
        "                       同时显示每个命中行之前的 N 行\n"
        "  -C, --context N      前后各 N 行；grep 格式中命中行是 路径:行:列:文字，\n"
        "                       它周围的行是 路径-行-文字，两组之间是 \"--\"\n"
        "      --threads N      用 N 个线程读取和匹配文件（默认每个核一个；1 只用一个\n"
        "                       线程）；输出不变；也用于 replace --dry-run\n");
}

std::string_view ReplaceOptions() {
    return Translate("kelvara::Usage",
                     "  -y, --yes            不经确认直接替换\n"
                     "  -n, --dry-run        什么也不写；把会改动的地方以统一 diff 格式列出\n"
                     "                       （patch -p0 可以应用它）\n");
}

std::string_view Closing() {
    return Translate("kelvara::Usage",
                     "  -h, --help           显示这段说明\n"
                     "      --version        显示版本\n"
                     "退出状态：0 找到了或替换了（或者会替换），1 什么也没有，2 出错。\n");
}

} // namespace

std::string Usage(UsageOf which) {
    std::string text;
    switch (which) {
    case UsageOf::Program:
        text.append(ProgramHeader());
        text.append(Translate("kelvara::Usage", "选项：\n"));
        text.append(CommonOptions());
        text.append(Translate("kelvara::Usage", "只用于 find：\n"));
        text.append(FindOptions());
        text.append(Translate("kelvara::Usage", "只用于 replace：\n"));
        text.append(ReplaceOptions());
        break;
    case UsageOf::Find:
        text.append(FindHeader()).append(CommonOptions()).append(FindOptions());
        break;
    case UsageOf::Replace:
        text.append(ReplaceHeader()).append(CommonOptions()).append(ReplaceOptions());
        break;
    }
    return text.append(Closing());
}

std::string VersionText() { return "kelvara " KELVARA_VERSION "\n"; }

} // namespace kelvara
