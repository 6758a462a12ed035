// A child process killed at an exact point of its writes, chosen by the
// test: the child reports each point (before every write, sync or rename of
// the file layer and of SQLite) through a pipe and waits for the parent's
// go-ahead; the parent kills it at the n-th report. No timing is involved,
// so a kill point found once is found again.
// Tests that include this link SQLite.
#pragma once

#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <functional>

#include "platform/win32/WinFileIo.h"

class KillPoints {
public:
    // Runs body in a child process (which then ends) and kills it at its
    // nKillAt-th point. The number of points the child reported: nKillAt
    // when it was killed there, fewer when it ended first (-1 when it ended
    // with a failure or could not be started).
    static int Run(const std::function<bool()>& body, int nKillAt) {
        int report[2], ack[2];
        if (pipe(report) != 0) return -1;
        if (pipe(ack) != 0) {
            close(report[0]);
            close(report[1]);
            return -1;
        }
        pid_t pid = fork();
        if (pid == 0) {
            close(report[0]);
            close(ack[1]);
            FdReport() = report[1];
            FdAck() = ack[0];
            WinFileIoSetHook([](WinFileOp) { Point(); });
            InstallSqliteShim();
            _exit(body() ? 0 : 1);
        }
        close(report[1]);
        close(ack[0]);
        int nPoints = 0;
        char c;
        bool bKilled = false;
        while (pid > 0 && read(report[0], &c, 1) == 1) {
            if (++nPoints == nKillAt) {
                kill(pid, SIGKILL);
                bKilled = true;
                break;
            }
            if (write(ack[1], &c, 1) != 1) break;
        }
        close(report[0]);
        close(ack[1]);
        int status = 0;
        if (pid <= 0 || waitpid(pid, &status, 0) != pid) return -1;
        if (bKilled) return nPoints;
        return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? nPoints : -1;
    }

    // How many points a whole run of body passes (-1 when it fails).
    static int Count(const std::function<bool()>& body) { return Run(body, INT_MAX); }

private:
    static int& FdReport() {
        static int s_fd = -1;
        return s_fd;
    }
    static int& FdAck() {
        static int s_fd = -1;
        return s_fd;
    }
    static void Point() {
        char c = 'p';
        if (FdReport() < 0 || write(FdReport(), &c, 1) != 1 || read(FdAck(), &c, 1) != 1) _exit(3);
    }

    // SQLite's default file system, with a point before every write, sync,
    // truncation and file deletion of every database, journal and WAL file.
    struct ShimFile {
        sqlite3_file base;
        sqlite3_file* pReal;
    };
    static sqlite3_vfs*& RealVfs() {
        static sqlite3_vfs* s_p = nullptr;
        return s_p;
    }
    static sqlite3_file* Real(sqlite3_file* p) { return reinterpret_cast<ShimFile*>(p)->pReal; }
    static const sqlite3_io_methods* ShimMethods() {
        static sqlite3_io_methods s_Methods = [] {
            sqlite3_io_methods m;
            memset(&m, 0, sizeof(m));
            m.iVersion = 3;
            m.xClose = [](sqlite3_file* p) { return Real(p)->pMethods->xClose(Real(p)); };
            m.xRead = [](sqlite3_file* p, void* b, int n, sqlite3_int64 o) {
                return Real(p)->pMethods->xRead(Real(p), b, n, o);
            };
            m.xWrite = [](sqlite3_file* p, const void* b, int n, sqlite3_int64 o) {
                Point();
                return Real(p)->pMethods->xWrite(Real(p), b, n, o);
            };
            m.xTruncate = [](sqlite3_file* p, sqlite3_int64 n) {
                Point();
                return Real(p)->pMethods->xTruncate(Real(p), n);
            };
            m.xSync = [](sqlite3_file* p, int f) {
                Point();
                return Real(p)->pMethods->xSync(Real(p), f);
            };
            m.xFileSize = [](sqlite3_file* p, sqlite3_int64* pn) { return Real(p)->pMethods->xFileSize(Real(p), pn); };
            m.xLock = [](sqlite3_file* p, int n) { return Real(p)->pMethods->xLock(Real(p), n); };
            m.xUnlock = [](sqlite3_file* p, int n) { return Real(p)->pMethods->xUnlock(Real(p), n); };
            m.xCheckReservedLock = [](sqlite3_file* p, int* pn) {
                return Real(p)->pMethods->xCheckReservedLock(Real(p), pn);
            };
            m.xFileControl = [](sqlite3_file* p, int op, void* a) {
                return Real(p)->pMethods->xFileControl(Real(p), op, a);
            };
            m.xSectorSize = [](sqlite3_file* p) { return Real(p)->pMethods->xSectorSize(Real(p)); };
            m.xDeviceCharacteristics = [](sqlite3_file* p) {
                return Real(p)->pMethods->xDeviceCharacteristics(Real(p));
            };
            m.xShmMap = [](sqlite3_file* p, int i, int n, int b, void volatile** pp) {
                return Real(p)->pMethods->xShmMap(Real(p), i, n, b, pp);
            };
            m.xShmLock = [](sqlite3_file* p, int o, int n, int f) {
                return Real(p)->pMethods->xShmLock(Real(p), o, n, f);
            };
            m.xShmBarrier = [](sqlite3_file* p) { Real(p)->pMethods->xShmBarrier(Real(p)); };
            m.xShmUnmap = [](sqlite3_file* p, int d) { return Real(p)->pMethods->xShmUnmap(Real(p), d); };
            m.xFetch = [](sqlite3_file* p, sqlite3_int64 o, int n, void** pp) {
                return Real(p)->pMethods->xFetch(Real(p), o, n, pp);
            };
            m.xUnfetch = [](sqlite3_file* p, sqlite3_int64 o, void* b) {
                return Real(p)->pMethods->xUnfetch(Real(p), o, b);
            };
            return m;
        }();
        return &s_Methods;
    }
    static void InstallSqliteShim() {
        static sqlite3_vfs s_Vfs;
        RealVfs() = sqlite3_vfs_find(nullptr);
        s_Vfs = *RealVfs();
        s_Vfs.zName = "killpoints";
        s_Vfs.pNext = nullptr;
        s_Vfs.szOsFile = int(sizeof(ShimFile)) + RealVfs()->szOsFile;
        s_Vfs.xOpen = [](sqlite3_vfs*, const char* zName, sqlite3_file* p, int flags, int* pOutFlags) {
            ShimFile* pShim = reinterpret_cast<ShimFile*>(p);
            pShim->pReal = reinterpret_cast<sqlite3_file*>(pShim + 1);
            int rc = RealVfs()->xOpen(RealVfs(), zName, pShim->pReal, flags, pOutFlags);
            p->pMethods = pShim->pReal->pMethods != nullptr ? ShimMethods() : nullptr;
            return rc;
        };
        s_Vfs.xDelete = [](sqlite3_vfs*, const char* zName, int bSync) {
            Point();
            return RealVfs()->xDelete(RealVfs(), zName, bSync);
        };
        s_Vfs.xAccess = [](sqlite3_vfs*, const char* zName, int f, int* pOut) {
            return RealVfs()->xAccess(RealVfs(), zName, f, pOut);
        };
        s_Vfs.xFullPathname = [](sqlite3_vfs*, const char* zName, int n, char* zOut) {
            return RealVfs()->xFullPathname(RealVfs(), zName, n, zOut);
        };
        sqlite3_vfs_register(&s_Vfs, 1);
    }
};
