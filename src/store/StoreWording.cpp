#include "store/StoreWording.h"

#include <QCoreApplication>

namespace StoreWording {
namespace {

QString Why(const StoreError &e)
{
    using Kind = StoreError::Kind;
    switch (e.kind) {
    case Kind::None: return {};
    case Kind::NotOpen: return QCoreApplication::translate("StoreWording", "设备档案尚未打开");
    case Kind::WrongThread: return QCoreApplication::translate("StoreWording", "设备档案被另一个线程使用");
    case Kind::NoDriver:
        return e.driver == QLatin1String("QPSQL") ? QCoreApplication::translate("StoreWording", "没有安装Qt的PostgreSQL驱动（libqt6sql6-psql）")
                                                  : QCoreApplication::translate("StoreWording", "没有安装Qt的SQLite驱动（libqt6sql6-sqlite）");
    case Kind::FolderNotMade: return QCoreApplication::translate("StoreWording", "无法创建文件夹 %1").arg(e.folder);
    case Kind::CannotOpen: return QCoreApplication::translate("StoreWording", "无法打开：%1").arg(e.reason);
    case Kind::FileReadOnly: return QCoreApplication::translate("StoreWording", "当前用户无权写这个文件");
    case Kind::FolderReadOnly: return QCoreApplication::translate("StoreWording", "当前用户无权在它的文件夹中写文件");
    case Kind::NotOurs: return QCoreApplication::translate("StoreWording", "这个文件属于另一个程序，不是本工具的设备档案；文件未作任何改动");
    case Kind::Newer:
        return QCoreApplication::translate("StoreWording", "这份设备档案由更新版本的本工具写成（档案版本%1，本程序只认识到版本%2）；档案未作任何改动")
            .arg(e.version)
            .arg(e.known);
    case Kind::CannotUpgrade: return QCoreApplication::translate("StoreWording", "无法把数据表升级到版本%1：%2").arg(e.version).arg(e.reason);
    case Kind::CannotWrite: return QCoreApplication::translate("StoreWording", "无法写入：%1").arg(e.reason);
    case Kind::CannotRead: return QCoreApplication::translate("StoreWording", "无法读取：%1").arg(e.reason);
    }
    return {};
}

} // namespace

StoreError Worded(StoreError error)
{
    if (!error.IsNone())
        error.message = QCoreApplication::translate("StoreWording", "%1：%2").arg(error.location, Why(error));
    return error;
}

} // namespace StoreWording
