#pragma once

#include <QByteArray>
#include <QColor>
#include <QSize>
#include <QStringList>

#include <string>

namespace hiragana {

// Names the one folder to take character data from, instead of the program's own.
// Read by the speech component only.
inline constexpr char CharacterDirVariable[] = "HIRAGANA_CHARACTER_DIR";

struct BalloonStyle {
    double fontPointSize = 16;
    int maxWidth = 360;
    int maxLines = 5;
    QColor background{0xff, 0xfd, 0xe7};
    QColor text{0x1a, 0x1a, 0x1a};
    QColor border{0x37, 0x47, 0x4f};
};

// A character as its data file describes it: the figure's size in pixels, its two frames
// (at rest and talking) as SVG, and the look of its speech balloon.
struct CharacterData {
    QSize figureSize;
    QByteArray restFrame;
    QByteArray talkFrame;
    BalloonStyle balloon;
};

// The folders searched for character data, in order: the folder named by CharacterDirVariable
// alone when that is set; otherwise the installed data folder beside the program, then the
// data folder of the build tree the program was built in.
QStringList CharacterDataFolders();

// The data a load key such as "c:\windows\msagent\mic.acs" names: the file of that name
// (the folders of the key are ignored) in the first folder that has it.
// Throws hiragana::Failure when it is missing, unreadable or not character data.
CharacterData LoadCharacterData(const std::u16string &loadKey);

} // namespace hiragana
