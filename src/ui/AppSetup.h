#pragma once

class QApplication;

// What every run of the program (and every GUI test) needs before the first window: the
// Chinese locale and Qt's own Chinese texts, and the font substitutions for 宋体 and Arial
// (on Linux; Windows has SimSun and Arial).
void setUpApplication(QApplication& app);
