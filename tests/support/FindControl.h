#pragma once

#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

// The child control of `window` named `name`; a test failure (and nullptr) when there is none.
template <typename T>
T* control(QWidget* window, const char* name)
{
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}
