// Opens a port that does not exist through the installed library: the failure must come
// back as a result, and the program must have found and loaded liblunvik to get it.
#include <lunvik/CSerialPort.h>

#include <cstdio>

int main() {
    CSerialPort port;
    if (port.InitPort("/nonexistent/lunvik-consumer", 9600, 'N', 8, 1, 0, 512) != 0) return 1;
    std::puts("lunvik linked");
    return 0;
}
