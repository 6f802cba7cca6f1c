#!/usr/bin/env python3
"""Writes the demo's help pages: fixed records of 80 bytes, code page 850, no line ends.
A line starting with "#" is a heading, shown highlighted (byte 30 switches it on and off).
    fer_ajuda.py            rewrites install/KEV/AJUDA/*.HLP
"""
import os

PAGINES = {
    "LLISTATS": """# SELECCIÓ IMPRESSORA

 El llistat que heu demanat ja està preparat. En aquesta finestra trieu on
 ha d'anar: a la pantalla, a una impressora del terminal, a un fitxer HTML,
 a un fitxer PDF o a una impressora de Windows.

# Abans de començar
 Retorn confirma tota la finestra des de qualsevol camp: el llistat surt
 tot seguit. Per passar d'un camp a l'altre feu servir Tab o les fletxes
 Avall i Amunt. Esc surt sense treure el llistat.
 El que escriviu en un camp substitueix el que hi havia, lletra a lletra.
 La tecla Insert passa a inserir el text (i una altra vegada a substituir).
 Ctrl+Y buida el camp on sou.

# Destinació
 Canvieu-la amb les fletxes Esquerra i Dreta, o teclejant la primera lletra
 del nom. La tria queda desada per a la propera vegada.

# Còpia per correu electrònic
 Responeu SÍ a "ENVIAR PER CORREU ELECTRÒNIC ?" per enviar-ne una còpia.
 Ompliu l'assumpte, i el nom i l'adreça de qui l'envia. Podeu enviar-la ara
 o a una hora més tardana, amb el membret de l'empresa o sense.

# Fitxers adjunts
 F2 obre la pàgina dels fitxers adjunts (fins a deu). Premeu F4 per triar-ne
 un al selector: fletxes i Retorn per entrar a una carpeta o per triar el
 fitxer. Si torneu a triar un fitxer que ja hi és, es treu de la llista.
 Esc torna a la primera pàgina i els adjunts hi queden.

# Tecles
  Retorn     envia el llistat           Esc       sortir sense llistat
  Tab, Avall camp següent               Amunt     camp anterior
  Av Pàg     últim camp                 Re Pàg    primer camp
  Insert     inserir / substituir       Ctrl+Y    buidar el camp
  F2         fitxers adjunts            F4        selector de fitxers
  F1         aquesta ajuda              Alt+X     calculadora
                                        Alt+C     calendari

 Quan confirmeu amb Retorn, el llistat surt cap a la destinació triada i
 després el programa torna a l'opció del menú d'on veníeu.
""",
    "ZEDMENUS": """# COM FUNCIONA L'AJUDA

 Les pàgines d'ajuda s'obren amb F1 des de qualsevol camp. Si el text no
 hi cap sencer, feu-lo córrer amb aquestes tecles:

  Fletxa avall / amunt    una línia avall / amunt
  Av Pàg / Re Pàg         una pàgina avall / amunt
  Inici / Fi              principi / final del text
  F1                      aquesta pàgina, l'ajuda de l'ajuda
  Esc                     tanca l'ajuda i torna on éreu

# Calculadora (Alt+X)
 Sumadora amb cinta de paper. Xifres i punt decimal; + - * / operen; = o
 Retorn donen el total; % percentatge; R arrodoneix a dos decimals; T canvia
 el signe; C esborra l'entrada, tot, i la cinta; les fletxes la mouen. F
 escriu el resultat al camp, Esc tanca sense escriure-hi res.

# Calendari (Alt+C)
 Mostra tres mesos. Les fletxes mouen el dia, Av Pàg i Re Pàg salten tres
 mesos, Inici i Fi gener i desembre. F escriu la data al camp; Esc surt.
""",
}


AMPLE_VISOR = 76  # characters the help viewer shows of each line


def registre(linia: str) -> bytes:
    assert len(linia) <= AMPLE_VISOR, f"{len(linia)}: {linia}"  # a heading shows "#" as a space
    if linia.startswith("#"):
        linia = "\x1e" + linia[1:] + " \x1e"
    dades = linia.encode("cp850")
    assert len(dades) <= 80, linia
    return dades.ljust(80, b" ")


def main() -> None:
    carpeta = os.path.join(os.path.dirname(os.path.abspath(__file__)), "install", "KEV", "AJUDA")
    for tema, text in PAGINES.items():
        with open(os.path.join(carpeta, tema + ".HLP"), "wb") as f:
            for linia in text.rstrip("\n").split("\n"):
                f.write(registre(linia))


if __name__ == "__main__":
    main()
