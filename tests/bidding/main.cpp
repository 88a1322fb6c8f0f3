// Runs every bidding test class in one executable; the exit code counts the failures.
#include <QApplication>
#include <QTest>

int runBidText(int argc, char **argv);
int runBidEditor(int argc, char **argv);
int runBidSession(int argc, char **argv);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int failed = 0;
    for (auto run : {runBidText, runBidEditor, runBidSession})
        failed += run(argc, argv);
    return failed;
}
