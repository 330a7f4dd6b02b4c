#pragma once

class DtuSession;

// The menu commands acting on the whole device or the whole parameter set.
namespace ParamFile {
void RestoreDefaultsMenu(DtuSession &session); // "恢复出厂默认设置"
void ResetMenu(DtuSession &session);           // "复位设备"
void SaveParamFile(DtuSession &session);       // "保存参数文件"
void BatchWrite(DtuSession &session);          // "批量写参数"
} // namespace ParamFile
