#pragma once
#include "ops/ProfileCheck.h"

#include <QString>

// The profile check's findings in words, in the run's language: the same
// lines for dtucfg check and the window's list.
namespace ProfileCheckWording {

// What is wrong, without its place: "65536 写成 00 00，读回是 0".
QString Detail(const ProfileCheck::Finding &finding);
// "example.txt:23:13: 错误：0031（中心端口）：" and the detail.
QString Line(const ProfileCheck::Finding &finding);
// "检查了14行：1个错误，0个警告"
QString Summary(const ProfileCheck::Report &report);
// The status bar's note after a load whose structure has faults.
QString LoadNotice(int faults);

} // namespace ProfileCheckWording
