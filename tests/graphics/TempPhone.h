#pragma once
// A fresh data root for one test ("/Home/" and "/Media/" in a temporary folder, removed afterwards), and
// files written into it by their virtual paths.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <string>

#include "host/HostPaths.h"

class TempPhone {
public:
    TempPhone() {
        QDir(dir_.path()).mkpath(QStringLiteral("Home"));
        QDir(dir_.path()).mkpath(QStringLiteral("Media"));
        host::SetDataRoot(dir_.path().toStdString());
    }

    // The host path of a virtual path; empty when the platform refuses it.
    static QString HostPath(const std::wstring& virtualPath) {
        std::string hostPath;
        if (Osp::Base::IsFailed(host::MapPath(virtualPath, hostPath))) {
            return {};
        }
        return QString::fromStdString(hostPath);
    }

    static bool Write(const std::wstring& virtualPath, const QByteArray& bytes) {
        QString path = HostPath(virtualPath);
        QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

private:
    QTemporaryDir dir_;
};
