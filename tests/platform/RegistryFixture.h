#pragma once

#include "support/TestDir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <string>

// Points the configuration folder ($MODWRIGHT_CONFIG_DIR) at a temporary folder
// for one test and restores the variable afterwards.
class TRegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const char *old = std::getenv("MODWRIGHT_CONFIG_DIR"))
            saved_ = old;
        ::setenv("MODWRIGHT_CONFIG_DIR", Folder().c_str(), 1);
    }
    void TearDown() override
    {
        if (saved_)
            ::setenv("MODWRIGHT_CONFIG_DIR", saved_->c_str(), 1);
        else
            ::unsetenv("MODWRIGHT_CONFIG_DIR");
    }

    std::string Folder() const { return dir_.path().toStdString(); }
    std::string File(const char *name) const { return Folder() + "/" + name; }
    std::string UserFile() const { return File("HKEY_CURRENT_USER.reg"); }
    std::string ReadText(const std::string &path) const
    {
        return TTestDir::readAll(QString::fromStdString(path)).toStdString();
    }
    void WriteText(const std::string &path, const std::string &text)
    {
        dir_.createFile(QString::fromStdString(path).mid(dir_.path().size() + 1),
                        QByteArray::fromStdString(text));
    }

    TTestDir dir_;

private:
    std::optional<std::string> saved_;
};
