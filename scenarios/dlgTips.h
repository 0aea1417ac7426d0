#pragma once
// The scenario editor's details window: what a press on a vehicle row shows (its blueprint,
// load state, orientation, consist direction, number, start time, destination and service
// class). Its start time box and service class combo are also what "Change Start Time" and
// "Change Service Class" write, whatever vehicle they were filled for. One instance, shown
// beside the editor and closed with it.

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;

class dlgTips : public QWidget {
    Q_OBJECT
public:
    // The one instance, created on first use as a window of owner.
    static dlgTips& instance(QWidget* owner);
    // The instance when one exists, else null.
    static dlgTips* existing();
    // Closes and deletes the instance, if any.
    static void unload();

    QLabel* Label1 = nullptr; // blueprint
    QLabel* Label2 = nullptr; // loadable
    QLabel* Label3 = nullptr; // loaded
    QLabel* Label4 = nullptr; // orientation
    QLabel* Label5 = nullptr; // consist direction
    QLabel* Label6 = nullptr; // "Start Time:"
    QLineEdit* Text1 = nullptr;
    QLabel* Label8 = nullptr; // "Destination:"
    QLabel* Label7 = nullptr;
    QLabel* Label10 = nullptr; // "Number"
    QLabel* Label9 = nullptr;
    QLabel* Label11 = nullptr; // "Service Class"
    QComboBox* Combo1 = nullptr; // the eleven service classes; a class may also be typed

    ~dlgTips() override;

private:
    explicit dlgTips(QWidget* owner);
};
