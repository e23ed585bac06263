#pragma once

#include <QFont>

// The windows' Armenian face: "Arial Armenian" where it is installed, else a font
// that has the Armenian letters.
QFont armenianFont(qreal pointSize);

class QLabel;

// Makes the label's font smaller, a quarter point at a time, until its text fits
// the label's fixed width: the boxes were made for one face, and others run wider.
void shrinkToFit(QLabel *label, qreal smallestPointSize = 6);

class QWidget;

// Without any face that has Armenian letters, every Armenian letter shows as
// nothing at all and the program seems broken: says so, naming what to install.
// Returns whether it had to.
bool warnIfNoArmenianFont(QWidget *parent);
