#pragma once
// How a picture story against a real club begins: the club program and the folder from the
// command line, the club started, and the client's windows where the program puts them.
// Usage of a story: <program> <vimo-club program> <folder>

#include "ClubProcess.h"
#include "TestClient.h"

#include "session/VmConnect.h"
#include "session/VmFrame.h"

#include <QApplication>
#include <QDir>

struct PictureStory
{
    QDir out;
    ClubProcess club;
    TestClient client;

    // False (with a word on stderr) when the story cannot begin.
    bool begin(int argc, char **argv)
    {
        if (argc < 3) {
            qWarning("usage: %s <vimo-club program> <folder>", argv[0]);
            return false;
        }
        out = QDir(QString::fromLocal8Bit(argv[2]));
        if (!club.start(QString::fromLocal8Bit(argv[1]), 0)) {
            qWarning("club did not start: %s", qPrintable(club.errorText()));
            return false;
        }
        client.ctx.connect->LoadSettings(); // the default places of the windows
        client.ctx.frame->show();
        // The main window's own login page comes a turn later; it is cancelled, and the
        // story's own login is the one that counts.
        QApplication::processEvents();
        return true;
    }
};
