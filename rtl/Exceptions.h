// Error classes. Every failure is raised as one of these; the message is text in the
// program's ANSI code page (932). The framework's dispatch catches Exception and shows it.
#pragma once
#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }
    // The class name as the fatal start-up box and tests report it.
    virtual const char* ClassName() const noexcept { return "Exception"; }

private:
    std::string message_;
};

#define TETRAFOL_ERROR_CLASS(Name, Base)                                          \
    class Name : public Base {                                                    \
    public:                                                                       \
        using Base::Base;                                                         \
        const char* ClassName() const noexcept override { return #Name; }         \
    }

// EAbort is the silent error: ShowError does not show it.
TETRAFOL_ERROR_CLASS(EAbort, Exception);
TETRAFOL_ERROR_CLASS(EConvertError, Exception);
TETRAFOL_ERROR_CLASS(EOutOfMemory, Exception);
TETRAFOL_ERROR_CLASS(EInvalidOperation, Exception);
TETRAFOL_ERROR_CLASS(EOutOfResources, Exception);
TETRAFOL_ERROR_CLASS(EInvalidGraphic, Exception);
TETRAFOL_ERROR_CLASS(EInvalidGraphicOperation, Exception);
TETRAFOL_ERROR_CLASS(EPrinter, Exception);
// A JPEG that fails to decode is a picture the format cannot read.
TETRAFOL_ERROR_CLASS(EJPEG, EInvalidGraphic);
TETRAFOL_ERROR_CLASS(EListError, Exception);
// A platform call failed with an error number ("システムエラー。コード：%d.\r\n%s").
TETRAFOL_ERROR_CLASS(EOSError, Exception);
TETRAFOL_ERROR_CLASS(EStreamError, Exception);
TETRAFOL_ERROR_CLASS(EFOpenError, EStreamError);
TETRAFOL_ERROR_CLASS(EFCreateError, EStreamError);
TETRAFOL_ERROR_CLASS(EFilerError, EStreamError);
TETRAFOL_ERROR_CLASS(EReadError, EFilerError);
TETRAFOL_ERROR_CLASS(EWriteError, EFilerError);
// Floating-point faults ("0 による浮動小数点数除算", "不正な浮動小数点数演算命令", ...).
TETRAFOL_ERROR_CLASS(EMathError, Exception);
TETRAFOL_ERROR_CLASS(EZeroDivide, EMathError);
TETRAFOL_ERROR_CLASS(EInvalidOp, EMathError);
TETRAFOL_ERROR_CLASS(EOverflow, EMathError);
