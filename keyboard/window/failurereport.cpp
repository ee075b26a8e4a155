#include "failurereport.h"

#include <QCoreApplication>
#include <QMessageBox>

#include <exception>
#include <new>

namespace hiragana {

QString FailureMessage(const Failure &failure)
{
    return QStringLiteral("実行時エラー '%1':\n\n%2")
        .arg(failure.number())
        .arg(QString::fromUtf8(failure.what()));
}

Failure CurrentFailure()
{
    try {
        throw;
    } catch (const Failure &failure) {
        return failure;
    } catch (const std::bad_alloc &) {
        return Failure(7, "Out of memory");
    } catch (const std::exception &error) {
        return Failure(51, error.what());
    } catch (...) {
        return Failure(51, "Internal error");
    }
}

void ReportFailure(const Failure &failure, QWidget *parent)
{
    QMessageBox::critical(parent, QStringLiteral("Hiragana"), FailureMessage(failure));
}

void EndWithFailure(const Failure &failure, QWidget *parent)
{
    ReportFailure(failure, parent);
    QCoreApplication::exit(EXIT_FAILURE);
}

} // namespace hiragana
