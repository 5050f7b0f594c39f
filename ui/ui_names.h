#pragma once
// Control names: each control's objectName is its fixed name; controls of an array carry the index in
// parentheses ("Text1(0)", "Label4(17)").
#include <QObject>
#include <QString>

inline QString arrayName(const char* base, int index) {
    return QString("%1(%2)").arg(base).arg(index);
}

template <class T> T* named(T* object, const QString& name) {
    object->setObjectName(name);
    return object;
}
template <class T> T* named(T* object, const char* base, int index) {
    return named(object, arrayName(base, index));
}
