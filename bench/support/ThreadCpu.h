#pragma once
// CPU time of each thread of this process, by thread name, from
// /proc/self/task: where a benchmark's CPU goes (GUI thread, link, pools).
#include <QDir>
#include <QFile>
#include <QMap>
#include <QString>

// Nanoseconds on the CPU per thread name (threads of the same name summed).
inline QMap<QString, double> threadCpuNs() {
    QMap<QString, double> out;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(tid + QStringLiteral("/comm")));
        QFile sched(tasks.filePath(tid + QStringLiteral("/schedstat")));
        if (!comm.open(QIODevice::ReadOnly) || !sched.open(QIODevice::ReadOnly)) continue;
        const QString name = QString::fromUtf8(comm.readAll()).trimmed();
        out[name] += sched.readAll().split(' ').value(0).toDouble();
    }
    return out;
}

// Per thread name: CPU percent of one core between two readings over seconds.
inline QMap<QString, double> threadCpuPct(const QMap<QString, double>& before,
                                          const QMap<QString, double>& after, double seconds) {
    QMap<QString, double> out;
    for (auto it = after.begin(); it != after.end(); ++it)
        out[it.key()] = 100.0 * (it.value() - before.value(it.key())) / 1e9 / seconds;
    return out;
}
